handset_fuzz(select_argument DEPENDS game_menu)
