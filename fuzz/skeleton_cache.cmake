handset_fuzz(skeleton_cache DEPENDS kel_kdb kel_app)
