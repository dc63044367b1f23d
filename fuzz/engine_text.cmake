handset_fuzz(engine_text DEPENDS kel)
