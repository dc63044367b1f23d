// The render module "OpenGLRender": creates the OpenGL ES device, or its null sibling, by
// class name ("Render=OpenGLRender.OpenGLRenderDevice" or "Render=OpenGLRender.NullRenderDevice").
#pragma once

// Registers "OpenGLRender" with its table ("Create_OpenGLRenderDevice",
// "Create_NullRenderDevice", "EnumerateInterfaces"); 0 on success, 1 when the module could
// not be allocated.
int RegisterRenderModule();
