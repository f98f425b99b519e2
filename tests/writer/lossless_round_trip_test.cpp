// What Vandrel writes reads back as it was: every Poser file of the tests and
// examples, and generated pose files, written in both formats and line ends,
// read again and written again until the bytes stand still.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/host.h"
#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"
#include "support/temp_dir.h"
#include "writer/round_trip_harness.h"

namespace vandrel::test {
namespace {

std::vector<std::string> PoserFilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && roundtrip::IsPoserFile(entry.path().string()))
      files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// Whether the file was read into tables that a Poser file can carry (the
// others, such as files made to test odd names, pass untested).
bool ExpectRoundTrips(const std::string& path) {
  if (!roundtrip::ReadDocument(path).ok || !roundtrip::Unrepresentable().empty()) return false;
  TempDir dir;
  EXPECT_EQ(roundtrip::CheckEveryFormat(path, dir.path()), "") << path;
  return true;
}

TEST(LosslessRoundTrip, EveryTestAndExampleFile) {
  std::vector<std::string> files = PoserFilesUnder(VANDREL_TEST_DATA);
  for (const std::string& f : PoserFilesUnder(std::string(VANDREL_TEST_DATA) + "/../../examples"))
    files.push_back(f);
  int tested = 0;
  for (const std::string& f : files) tested += ExpectRoundTrips(f) ? 1 : 0;
  EXPECT_GE(tested, 20) << "of " << files.size();
}

// A pose file of random objects and channels, written the way Poser and
// Vandrel write them: names that begin other names, empty channels, objects
// without channels, own materials, lights and cameras, every line end.
std::string GeneratedPose(std::mt19937& rng) {
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const char* names[] = {"Smile",     "SmileOpen", "Frown",   "Blink",  "BlinkLeft", "Blink_L", "PBMCC_01",
                         "PBMCC_010", "keys",      "Surname", "hidden", "A}",        "B{",      "name"};
  const char* types[] = {"targetGeom", "valueParm", "rotateX", "scale"};
  const char* values[] = {"0", "0.5", "-1.25", "0.000000", "1e-05", "12"};
  std::string t = "{\n";
  if (pick(2)) t += "# a generated pose\n// second line\n";
  t += "version\n{\nnumber 4.01\n}\n";
  if (pick(2)) t += "thighLength 1.5\n";
  const auto makeMaterial = [&](const std::string& name) {
    std::string m = "material " + name + "\n{\n";
    const std::string lines[] = {"KdColor 0.3 0.5 1 1",
                                 "KsColor 1 1 1 1",
                                 "TextureColor 1 1 1 0.75",
                                 "NsExponent 30",
                                 "tExpo 0.6",
                                 "textureMap \":Runtime:Textures:skin " + name + ".jpg\"\n0 0",
                                 "bumpMap NO_MAP",
                                 "reflectionMap \":Runtime:Textures:old material look.jpg\"\n0 0",
                                 "ksIgnoreTexture 1"};
    for (const std::string& line : lines)
      if (pick(2)) m += line + "\n";
    return m + "}\n";
  };
  const int objects = 1 + pick(6);
  for (int o = 0; o < objects; ++o) {
    const char* kinds[] = {"actor", "actor", "prop", "light", "camera"};
    const std::string kind = kinds[pick(5)];
    t += kind + " " +
         (kind == "actor" ? (o == 0 ? std::string("BODY:1") : "part" + FormatInt(o) + ":1")
                          : kind + FormatInt(o)) +
         "\n{\n";
    if (pick(2)) t += "name Object " + FormatInt(o) + "\n";
    if (pick(2)) t += pick(2) ? "on\n" : "off\n";
    if (kind == "light" || kind == "camera") t += "lightType 1\nstorageOffset 0 0 0\n";
    const int dials = pick(4) == 0 ? 0 : 1 + pick(6);
    t += "channels\n{\n";
    std::set<std::string> lines;  // one channel of a name and type per object
    for (int d = 0; d < dials; ++d) {
      const std::string line = std::string(types[pick(4)]) + " " + names[pick(14)] + FormatInt(d % 2);
      if (!lines.insert(line).second) continue;
      if (pick(5) == 0) t += "# another\n{ }\n";  // a comment and its empty block among the channels
      t += line + (pick(4) == 0 ? " \t" : "") + "\n{\n";
      if (pick(3) == 0) {
        t += "}\n";  // nothing in it
        continue;
      }
      if (pick(2)) t += (pick(3) == 0 ? "name Smirk  2 wide " : "name dial ") + FormatInt(d) + "\n";
      if (pick(2)) t += "hidden " + FormatInt(pick(2)) + "\n";
      if (pick(4)) t += std::string("keys\n{\nstatic 0\nk  0  ") + values[pick(6)] + "\n}\n";
      t += "}\n";
    }
    t += "}\n";
    if (kind != "prop" && pick(3) == 0) t += "customMaterial 1\n" + makeMaterial("own" + FormatInt(o));
    if (pick(2)) t += "locked 1\n";
    if (kind == "light" && pick(2)) t += "depthMapSize 256\ndoShadow 1\nlightOn 1\n";
    t += "}\n";
  }
  if (pick(3)) {
    t += "figure\n{\n";
    for (int m = 0; m < 1 + pick(3); ++m)
      t += makeMaterial(m == 0 && pick(4) == 0 ? "" : "skin" + FormatInt(m));
    t += "}\n";
  }
  // Objects after the figure block.
  if (pick(3) == 0) t += "light late\n{\nchannels\n{\nvalueParm v\n{\nkeys\n{\nk  0  1\n}\n}\n}\n}\n";
  if (pick(4) == 0) t += "prop latecomer\n{\nchannels\n{\nscale s\n{\nkeys\n{\nk  0  2\n}\n}\n}\n}\n";
  if (pick(2)) t += "prop hat\n{\n" + makeMaterial("hat") + "}\n";
  t += "}\n";
  // Indentation and line ends as Poser writes them, or not.
  if (pick(2)) t = Replace(t, "\n", "\n\t");
  switch (pick(3)) {
    case 0:
      return Replace(t, "\n", "\r\n");
    case 1:
      return Replace(t, "\n", "\r");
    default:
      return t;
  }
}

// The groups with their materials, the objects with their switched-on
// properties and their channels (value, and hidden when read), and the thigh
// length, as a read left them.
std::string Contents(const roundtrip::ReadOutcome& read) {
  std::string contents;
  for (std::size_t g = 0; g < gObjectList.size() && g < gObjects.size(); ++g) {
    contents += gObjects[g].Name + ":";
    for (std::size_t m = 0; m < gObjects[g].Materials.size(); ++m)
      contents += (m == 0 ? " " : ",") + gObjects[g].Materials[m].Name;
    contents += "\n";
  }
  for (const ActorRec& a : gActors) {
    if (a.Name.empty()) continue;
    contents += a.Kind + " " + a.Name;
    if (a.PropertyOn[0]) contents += " '" + a.Props().ExtName + "'";
    if (a.PropertyOn[1]) contents += a.Props().OnOff == 2 ? " on" : " off";
    if (a.PropertyOn[2]) contents += " hidden " + FormatInt(a.Props().Hidden - 1);
    if (a.PropertyOn[3]) contents += " locked " + FormatInt(a.Props().Locked - 1);
    contents += ":";
    for (std::size_t d = 0; d < a.Dials.size(); ++d) {
      const DialRec& dial = a.Dials[d];
      if (dial.Name.empty()) continue;
      contents += (d == 0 ? " " : ",") + dial.Name + "=" + FormatDouble(dial.Value);
      if (dial.HiddenOn) contents += "/h" + FormatInt(dial.Hidden - 1);
    }
    contents += "\n";
  }
  if (!read.disableThighLength) contents += "thighLength " + read.thighLength + "\n";
  return contents;
}

// Files whose values a read once lost: each is read whole, and what Vandrel
// writes of it reads back the same in every format and line end.
TEST(LosslessRoundTrip, ReadingKeepsEveryValue) {
  const auto channel = [](const std::string& line, const std::string& value) {
    return line + "\n{\nkeys\n{\nk  0  " + value + "\n}\n}\n";
  };
  const std::string head = "{\nversion\n{\nnumber 4.01\n}\n";
  struct Case {
    const char* what;
    std::string text;
    std::string contents;
    const char* ext = "pz2";
  };
  const std::vector<Case> cases = {
      {"a first material without a name",
       head + "figure\n{\nmaterial \n{\nKdColor 1 0 0 1\n}\nmaterial B\n{\nKdColor 0 1 0 1\n}\n}\n}\n",
       "figure: ,B\n"},
      {"objects after the figure block",
       head + "actor BODY:1\n{\nchannels\n{\n" + channel("valueParm a", "1") + "}\n}\n" +
           "figure\n{\nmaterial skin\n{\nKdColor 1 0 0 1\n}\n}\n" + "prop ball\n{\nchannels\n{\n" +
           channel("scale s", "2") + "}\n}\n" + "light L\n{\nchannels\n{\n" + channel("valueParm i", "0.5") +
           "}\n}\n" +
           "camera C\n{\nchannels\n{\n}\n}\nprop hat\n{\nmaterial brim\n{\nKdColor 0 0 1 1\n}\n}\n}\n",
       "figure: skin\nprop hat: brim\nactor BODY:1: a=1\nprop ball: s=2\nlight L: i=0.5\ncamera C:\n"},
      {"\"material \" inside an actor's own map path",
       head + "actor BODY:1\n{\nchannels\n{\n" + channel("valueParm a", "1") + "}\ncustomMaterial 2\n" +
           "material Skin\n{\ntextureMap \":Runtime:Textures:old material look.jpg\"\n0 0\n}\n" +
           "material Eyes\n{\nKdColor 1 1 1 1\n}\n}\n}\n",
       "BODY:1: Skin,Eyes\nactor BODY:1: a=1\n"},
      {"keys inside channel names and a comment among the channels",
       head + "actor BODY:1\n{\nchannels\n{\n" + channel("valueParm Surname", "1") +
           channel("targetGeom hiddenBlink", "0.5") + channel("valueParm keys", "3") + "# another\n{ }\n" +
           channel("valueParm A}", "4") +
           "valueParm Smirk\n{\nname Smirk  2 wide\nkeys\n{\nk  0  0.25\n}\n}\n}\n}\n}\n",
       "actor BODY:1: Surname=1,hiddenBlink=0.5,keys=3,A}=4,Smirk=0.25\n"},
      // Each braceless prop line of a character takes the figure's materials.
      {"prop lines without blocks before the actors",
       head + "figureResFile :Runtime:Geometries:doll.obj\nprop p1\nprop p2\nprop p3\nactor BODY:1\n{\n" +
           "setGeomHandlerOffset 0 0.3 0\n}\nfigure\n{\nmaterial skin\n{\nKdColor 1 0 0 1\n}\n" +
           "material eyes\n{\nKdColor 0 0 1 1\n}\nfigureType 1\ndisplayMode USEPARENT\n}\n}\n",
       "figure: skin,eyes\nprop p3: skin,eyes\nprop p2: skin,eyes\nprop p1: skin,eyes\n", "cr2"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    for (const char* eol : {"\n", "\r\n", "\r"}) {
      const std::string path = dir.write("case." + std::string(c.ext), Replace(c.text, "\n", eol));
      const roundtrip::ReadOutcome read = roundtrip::ReadDocument(path);
      ASSERT_TRUE(read.ok) << c.what;
      EXPECT_EQ(Contents(read), c.contents) << c.what;
      EXPECT_EQ(roundtrip::Unrepresentable(), "") << c.what;
      EXPECT_EQ(roundtrip::CheckEveryFormat(path, dir.path()), "") << c.what;
    }
  }
}

// Shapes of real-world files that a read once lost values of (tests/data/
// reader/keeps, seeds of the fuzz targets too), in every line end: what the
// read gives, what the written material pose reads back as, and the
// round-trip property. A number too large for any value refuses the read.
TEST(LosslessRoundTrip, RealWorldShapesInEveryLineEnd) {
  struct Case {
    const char* file;
    std::string contents;   // "" = the read is refused
    std::string last = "";  // in place of the file's last line
  };
  const std::vector<Case> cases = {
      {"trailing_blanks.pz2",
       "figure: skin\nprop hat: brim\nactor BODY:1 'Body' on hidden 1: a\t=0,b\t=2/h1\n"
       "actor hip:1 off locked 1: x =-1.5\nthighLength 2.5\n"},
      {"no_version.pz2", "actor BODY:1: a=1\nactor hip:1: b=2\n"},
      // The same with a figure's materials after the actors.
      {"no_version.pz2", "figure: skin\nactor BODY:1: a=1\nactor hip:1: b=2\n",
       "figure\n{\nmaterial skin\n{\nKdColor 1 0 0 1\n}\n}\n}\n"},
      {"objects_after_figure.pz2", "figure: skin\nactor BODY:1: a=1\nprop ball: s=2\nthighLength 2.5\n"},
      {"repeated_channels.pz2", "actor BODY:1: S=1/h1,M=2,S=3,T=4,O=5,T=6\n"},
      {"prop_without_materials.pz2", "figure: skin\nprop hat: brim\nprop ball:\n"},
      {"key_too_large.pz2", ""},
      {"material_number_too_large.cr2", ""},
  };
  TempDir dir;
  for (const Case& c : cases) {
    std::string lf = ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/reader/keeps/" + c.file);
    ASSERT_FALSE(lf.empty()) << c.file;
    if (!c.last.empty()) lf = lf.substr(0, lf.rfind('\n', lf.size() - 2) + 1) + c.last;
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
      const std::string what = c.file + std::string(eol == "\n" ? " LF" : eol == "\r" ? " CR" : " CR LF");
      const std::string path = dir.write(std::string("case") + Right(c.file, 4), Replace(lf, "\n", eol));
      if (c.contents.empty()) {
        ResetModel();
        QuietHost host;
        OpenFileOptions options;
        options.fileType = EndsWith(c.file, ".cr2") ? kCr2 : kPz2;
        options.path = path;
        options.objectPartReader = [](std::string_view text, Host& h) { ReadObjectPart(text, h); };
        const OpenFileResult result = ReadPoserFile(options, host);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_NE(result.errorReport.find("Overflow, error number 6"), std::string::npos) << what;
        continue;
      }
      const roundtrip::ReadOutcome read = roundtrip::ReadDocument(path);
      ASSERT_TRUE(read.ok) << what;
      EXPECT_EQ(Contents(read), c.contents) << what;
      const std::string out = dir.file("written.pz2");
      ASSERT_EQ(WritePoseFile(roundtrip::SaveOptions(read, out, false, eol == "\r")).Error, "") << what;
      const std::string written = ReadFileBytes(out);
      EXPECT_EQ(written.find("material \r"), std::string::npos) << what << ": " << written;
      const roundtrip::ReadOutcome again = roundtrip::ReadDocument(out);
      ASSERT_TRUE(again.ok) << what;
      EXPECT_EQ(Contents(again), c.contents) << what << ", written:\n" << written;
      // Two channels of one name are one for the round-trip property.
      if (roundtrip::Unrepresentable().empty()) {
        EXPECT_EQ(roundtrip::CheckEveryFormat(path, dir.path()), "") << what;
      }
    }
  }
}

TEST(LosslessRoundTrip, GeneratedPoseFiles) {
  TempDir dir;
  std::mt19937 rng(4242);
  for (int i = 0; i < 60; ++i) {
    const std::string text = GeneratedPose(rng);
    const std::string path = dir.write("generated.pz2", text);
    ASSERT_TRUE(roundtrip::ReadDocument(path).ok) << text;
    ASSERT_EQ(roundtrip::Unrepresentable(), "") << text;
    ASSERT_EQ(roundtrip::CheckEveryFormat(path, dir.path()), "") << "input:\n" << text;
  }
}

// A stray line break in the notes or in a name never makes a line of its own
// with another line end.
TEST(LosslessRoundTrip, EveryLineEndsWithTheChosenLineEnd) {
  ResetModel();
  gState.FileNotes = "first\nsecond\rthird\r\nfourth";
  gActors[0].Name = "BODY:1";
  gActors[0].Kind = "actor";
  gActors[0].Dials.assign(2, DialRec{});
  gActors[0].Dials[0].Name = "Smile\r";
  gActors[0].Dials[0].ChannelType = "targetGeom";
  // Longer texts, and a TAB that stays.
  gActors[0].Dials[1].Name = "Open\nMouth\rWide";
  gActors[0].Dials[1].ChannelType = "valueParm";
  gActors[0].Dials[1].ExtName = "Brow\tUp\r\n";
  gActors[0].Dials[1].ExtNameOn = true;
  for (bool mac : {false, true}) {
    PoseWriteOptions o;
    o.MacLineEnds = mac;
    o.RequiredVersion = "4.01";
    o.DisableThighLength = true;
    std::string bytes;
    ASSERT_EQ(BuildPoseFile(o, bytes), "");
    const std::string eol = mac ? "\r" : "\r\n";
    EXPECT_EQ(bytes.substr(0, (mac ? 36 : 41)),
              "{" + eol + "# first" + eol + "# second" + eol + "# third" + eol + "# fourth" + eol);
    EXPECT_NE(bytes.find("\t\ttargetGeom Smile" + eol + "\t\t\t{"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\t\tvalueParm OpenMouthWide" + eol + "\t\t\t{" + eol + "\t\t\tname Brow\tUp" + eol +
                         "\t\t\t}"),
              std::string::npos)
        << bytes;
    EXPECT_EQ((mac ? bytes : Replace(bytes, "\r\n", "")).find(mac ? '\n' : '\r'), std::string::npos) << bytes;
  }
  ResetModel();
}

}  // namespace
}  // namespace vandrel::test
