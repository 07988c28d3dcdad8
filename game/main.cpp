#include "Startup.h"

int main() { return game::TerraslideMain(); }
