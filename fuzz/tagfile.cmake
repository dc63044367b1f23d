handset_fuzz(tagfile DEPENDS kel_files)
