handset_fuzz(tagfile DEPENDS kel)
