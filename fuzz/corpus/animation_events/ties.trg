E
{
Game
{
Frame 2.00009
Effect e
}
Game
{
Frame 2
Effect e
}
Game
{
Frame 1.99992
Effect e
}
Game
{
Frame 1.99984
Effect e
}
Game
{
Frame 0
Effect e
}
Game
{
Frame 1000000000
Effect e
}
}
