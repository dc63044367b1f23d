handset_fuzz(cedb_record DEPENDS platform_cedb)
