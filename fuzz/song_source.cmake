handset_fuzz(song_source DEPENDS xm_writer)
