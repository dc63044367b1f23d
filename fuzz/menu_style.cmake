handset_fuzz(menu_style DEPENDS kel_menu)
