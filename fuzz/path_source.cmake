handset_fuzz(path_source DEPENDS path_source)
