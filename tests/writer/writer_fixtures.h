// Documents the writer tests save, and helpers to compare written bytes.
#pragma once

#include <string>

#include "model/model.h"
#include "writer/pose_writer.h"

namespace vandrel::test {

// tests/data/writer/<name>
std::string WriterData(const std::string& name);

// A readable report of where two byte texts first differ (line and both
// lines with CR and LF shown), or "" when they are equal.
std::string FirstDifference(const std::string& expected, const std::string& actual);

// A material with every switch off and the reader's initial values.
MaterialRec BareMaterial(const std::string& name);

// A channel with every field given.
DialRec Dial(const std::string& name, const std::string& extName, const std::string& type, double value,
             int hidden, bool extNameOn, bool hiddenOn, bool valueOn);

// Figure "Skin" (every Poser 4 property) and "Eyes" (nothing saved), prop
// "ball"; notes of two lines, version typed with a decimal comma.
void MakeMaterialDocument();

// Figure, an actor group matched by actor hip:1, one matched by no actor, a
// hair group in the actor part; actors BODY:1, hip:1, light Light_1 and a
// hair prop; notes ending in a line end; version 5.
void MakeActorDocument();

// One figure material with all four maps saved (bump map a JPEG picture).
void MakeAllMapsDocument();

// Three figure materials: only a gradient (".BUM") bump map, only a JPEG bump
// map on a fully transparent material, and maps of which some are not saved.
void MakeBumpDocument();

// Two groups for the .mtl export.
void MakeMtlDocument();

// Options of a save to `path` with material and morph data saved.
PoseWriteOptions OptionsFor(const std::string& path);

}  // namespace vandrel::test
