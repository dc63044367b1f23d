handset_fuzz(menu_file DEPENDS kel_menu)
