handset_fuzz(engine_text DEPENDS kel_app kel_object kel_text)
