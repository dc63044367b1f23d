handset_fuzz(dds_image DEPENDS kel_render)
