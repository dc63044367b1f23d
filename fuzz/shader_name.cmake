handset_fuzz(shader_name DEPENDS kel_shader)
