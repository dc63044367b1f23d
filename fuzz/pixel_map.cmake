handset_fuzz(pixel_map DEPENDS pixel_map)
