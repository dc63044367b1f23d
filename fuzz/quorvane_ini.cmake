handset_fuzz(quorvane_ini DEPENDS kel)
