#include "game/Startup.h"

int main() { return game::TerraslideMain(); }
