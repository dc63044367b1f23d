handset_fuzz(scene_file DEPENDS kel_kdb)
