handset_fuzz(save_record DEPENDS game_flow)
