handset_fuzz(tone_source DEPENDS wave_synth)
