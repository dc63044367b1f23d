handset_fuzz(qvn_level DEPENDS game_world_levelfile game_world_update game_world_player game_world_rules
                               game_world_level)
