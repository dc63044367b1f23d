handset_fuzz(ctes_image DEPENDS kel_render)
