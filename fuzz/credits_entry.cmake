handset_fuzz(credits_entry DEPENDS game_menu)
