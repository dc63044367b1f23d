handset_fuzz(utf8_decode DEPENDS platform_base)
