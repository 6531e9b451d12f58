// The script runner of "Perform the following" (command 95).
#pragma once

// Runs the script in TextSlots[SLOT_SCRIPT] once, top to bottom; its effects are in the
// registers, their texts and the status text. Returns 0. Called by execute_command after
// the options, the precision and the changed registers have been taken in.
int run_script();
