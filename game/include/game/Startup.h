#pragma once

namespace game {

// The program: start-up, the event loop and finalisation. Returns the exit status.
int TerraslideMain();

}
