handset_fuzz(ktx_texture DEPENDS kel_texture)
