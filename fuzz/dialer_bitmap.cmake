handset_fuzz(dialer_bitmap DEPENDS dialer_pack)
