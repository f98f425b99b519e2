// What follows every read of morph and pose data: the own materials of
// actors, lights and cameras become material groups with their object-list
// entries, and the DisableProperties preference clears the property switches.
#pragma once

#include <array>
#include <functional>
#include <string_view>

namespace vandrel {

// For the actors in gActors whose header is in `text` (the text the channel
// reader read): an actor, light or camera with its own materials becomes a
// material group named as the actor, listed at the same index of the object
// list as "<kind> <name>"; sets gActorMaterialsFound when it made one. Then
// every actor of kind "actor" that has no group gets "actor <name>" at the
// end of the object list.
void AddActorMaterialGroups(std::string_view text);
// The same with the line starts of the four object keywords ("actor ",
// "prop ", "light ", "camera ") that the channel reader gathered from `text`.
// `poll`, when given, is called every few thousand actors (a file may hold a
// million of them): it may end the work by throwing.
class ObjectKeywords;
void AddActorMaterialGroups(std::string_view text, ObjectKeywords& keywords,
                            const std::function<void()>& poll = {});

// Every actor of kind "actor" whose name is not a group's gets "actor <name>"
// at the end of the object list.
void AddGrouplessActorEntries(const std::function<void()>& poll = {});

// With gSettings.DisableProperties on: every actor's seven property switches
// and every dial's name and hidden switches go off; the dial values stay on
// as read. Nothing else changes.
void DisableActorAndDialProperties();

}  // namespace vandrel
