handset_fuzz(stream_text DEPENDS kel_files)
