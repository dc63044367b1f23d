handset_fuzz(mesh_text DEPENDS kel_mesh kel_collision)
