handset_fuzz(quorvane_ini DEPENDS kel_app kel_files)
