handset_fuzz(tga_image DEPENDS kel_render)
