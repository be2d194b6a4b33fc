// Finding keys by name: exactly, in any case, or the nearest one to a mistyped name.
#pragma once

#include <string>

// The option whose key is `name` followed by "=", or -1.
int KeyByName(const std::string& name);
// The same, letters compared without regard to case.
int KeyByNameIgnoringCase(const std::string& name);
// The option whose key (without "=") is nearest to `name` by a few typed letters, or -1.
int NearestKey(const std::string& name);
// "did you mean 'sifakey='?"
std::string DidYouMean(int option);
