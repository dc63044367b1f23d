handset_fuzz(node_record DEPENDS kel_node)
