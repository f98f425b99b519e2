// What the Morph and Pose channels pane does to the actor table: which
// actors and channels still have something to write, the channel families of
// the deletion boxes, deleting channels and actors, new morph channels,
// zeroing, and the two typed values it checks (dial value, DepthMapSize).
// gActorList follows every change of gActors here.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vandrel {

// The actor and dial the pane shows, as 1-based list positions (0 = none),
// and the flags the pane raises while it drives its own lists.
extern int gCurrentActor;
extern int gCurrentDial;
extern bool gSelectingActors;
extern bool gSelectingDials;
// No actor or dial current, no selection work going on.
void ResetChannelSelection();

inline constexpr int kChannelFamilyCount = 23;
// The channel types that deletion box `box` (0..22) removes.
const std::vector<std::string>& ChannelFamily(int box);

// True when gActors[k] has nothing to write but its channels.
bool ActorIsEmpty(std::size_t k);
// True when channel j of gActors[k] has nothing to write.
bool DialIsEmpty(std::size_t k, std::size_t j);
// The channel table of an actor without channels: one record with no name.
bool HasNoChannels(std::size_t k);

// The dial value as the value box shows it: "." as decimal sign whatever
// the locale, "0" before a leading point, up to 15 significant digits.
std::string DialValueText(double value);
// A typed dial value: accepted when the text is the plain form of its
// leading number (an optional "0" before the point aside) and the number
// lies in -10000..10000.
std::optional<double> AcceptedDialValue(const std::string& text);
// A typed actor or dial display name ("Ext. name") that can be written as
// its "name" line and read back: no "{", "}" or line break, and a last word
// other than "channels" (the reader would take the line for the channels
// line).
bool IsSavableDisplayName(const std::string& name);
// A typed DepthMapSize as stored (its leading number + 1, halves to even);
// none when that does not fit a 16-bit integer.
std::optional<int> StoredDepthMapSize(const std::string& text);

// Channel j of actor k goes for every set entry of `remove` (one per channel);
// the others keep their order. An actor left without channels holds one
// blank record.
void RemoveDials(std::size_t k, const std::vector<bool>& remove);
// The actor's channel table becomes one blank record.
void EmptyDials(std::size_t k);
// Removes the actors with a set entry (and their gActorList items). When no
// actor is left the table is one blank record and the list is empty; true
// then.
bool RemoveActors(const std::vector<bool>& remove);

// What deleting the channels of the ticked families from the selected
// actors did to the tables.
struct ChannelDeletion {
  bool anyMatched = false;
  long long channels = 0;        // channels that matched, in every selected actor
  std::vector<bool> actorsToGo;  // per actor: every channel matched and nothing else to write
  int actorCount = 0;            // how many entries of actorsToGo are set
};
// Removes from each selected actor every channel whose type (with regard to
// case) belongs to a ticked family. An actor whose channels all matched
// keeps one blank record when it has something else to write, and is only
// marked in actorsToGo otherwise (the caller removes those). Sets
// gState.Dirty when a table changed.
ChannelDeletion DeleteChannelFamilies(const std::vector<bool>& selectedActors,
                                      const std::array<bool, kChannelFamilyCount>& ticked);

// Type of a new morph channel of an actor: "valueParm" for a name beginning
// with "BODY", "targetGeom" otherwise.
std::string NewMorphType(const std::string& actorName);
// Gives every selected actor a channel `name` of its new-morph type with
// value 0 (in its blank record when it has no channels).
void AddMorphChannel(const std::vector<bool>& selectedActors, const std::string& name);
// Every channel value of every actor becomes 0.
void ZeroAllDials();

}  // namespace vandrel
