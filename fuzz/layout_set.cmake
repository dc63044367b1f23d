handset_fuzz(layout_set DEPENDS dialer_layout)
