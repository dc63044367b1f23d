handset_fuzz(bitmap_font DEPENDS kel_font)
