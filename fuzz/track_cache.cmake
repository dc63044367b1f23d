handset_fuzz(track_cache DEPENDS kel_meshnode)
