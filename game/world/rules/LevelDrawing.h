// The level's two draw passes: the level objects (ODILE alone in her own pass) and the tile
// grid with the background.
#pragma once

class Level;
class NodeDrawer;

void DrawObjects(const Level& level, NodeDrawer& drawer, bool odilePass);
void DrawTileGrid(const Level& level, NodeDrawer& drawer);
