// The render module "OpenGLRender": creates the OpenGL ES device by class name.
#pragma once

// Registers "OpenGLRender" with its table ("Create_OpenGLRenderDevice",
// "EnumerateInterfaces"); 0 on success, 1 when the module could not be allocated.
int RegisterRenderModule();
