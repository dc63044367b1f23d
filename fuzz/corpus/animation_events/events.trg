Events
{
Sound
{
Frame 5
Effect step
Flags EVERYLOOP TRACED
}
Game
{
Frame 2.00002
Effect jump
}
Particle
{
Frame 2.00001
Position joint6 [0 0 1]
Rotation head [0 90 0]
Delta [0 0 1]
Effect dust
}
Sound
{
Frame -1
Effect never
}
Music
{
Effect unknown
}
}
