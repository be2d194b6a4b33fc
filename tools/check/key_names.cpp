// Finding keys by name for hints: exact, case-blind and by edit distance.
#include "key_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "config/confload.h"

namespace {

const int kMostEdits = 2;  // a name more than two edits away from every key gets no hint

std::string Lower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string KeyName(int option) {
  std::string key = kOptionKeys[option];
  return key.substr(0, key.size() - 1);  // without its "="
}

// Letters to insert, delete or replace to turn one text into the other.
int EditDistance(const std::string& a, const std::string& b) {
  std::vector<int> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); j++) row[j] = static_cast<int>(j);
  for (size_t i = 1; i <= a.size(); i++) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (size_t j = 1; j <= b.size(); j++) {
      int above = row[j];
      int replace = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, replace});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

int KeyByName(const std::string& name) {
  for (int i = 0; i < OPTION_COUNT; i++) {
    if (KeyName(i) == name) return i;
  }
  return -1;
}

int KeyByNameIgnoringCase(const std::string& name) {
  const std::string lower = Lower(name);
  for (int i = 0; i < OPTION_COUNT; i++) {
    if (Lower(KeyName(i)) == lower) return i;
  }
  return -1;
}

int NearestKey(const std::string& name) {
  // A name far longer than any key is near none of them; the guard keeps long junk lines cheap.
  const size_t longestNear = static_cast<size_t>(kKeySlot) + static_cast<size_t>(kMostEdits);
  if (name.empty() || name.size() > longestNear) return -1;
  const std::string lower = Lower(name);
  // Short names need a closer match, or every short word would find some key.
  const int allowed = std::min(kMostEdits, static_cast<int>(name.size()) / 3);
  int best = -1;
  int bestDistance = allowed + 1;
  for (int i = 0; i < OPTION_COUNT; i++) {
    int distance = EditDistance(lower, Lower(KeyName(i)));
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

std::string DidYouMean(int option) {
  return std::string("did you mean '") + kOptionKeys[option] + "'?";
}
