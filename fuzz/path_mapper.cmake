handset_fuzz(path_mapper DEPENDS platform_base)
