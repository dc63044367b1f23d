handset_fuzz(proc_stat DEPENDS platform_device)
