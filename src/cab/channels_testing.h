// What the tests reach of the channels: the two reserves written before the host's arrays came.
#pragma once

int* PanelReserve();  // kElementCount panel elements
int* SoundReserve();  // kElementCount sound elements
