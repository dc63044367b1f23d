handset_fuzz(skin_pack DEPENDS dialer_layout)
