handset_fuzz(tvout_message DEPENDS game_flow)
