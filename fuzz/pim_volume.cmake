handset_fuzz(pim_volume DEPENDS platform_cedb)
