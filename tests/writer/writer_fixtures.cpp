#include "writer/writer_fixtures.h"

#include <algorithm>

namespace vandrel::test {

std::string WriterData(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/writer/" + name; }

namespace {
std::string Visible(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '\r')
      out += "<CR>";
    else if (c == '\n')
      out += "<LF>";
    else if (c == '\t')
      out += "<TAB>";
    else
      out += c;
  }
  return out;
}

// The line (with its end) that holds byte `pos`.
std::string LineAt(const std::string& text, std::size_t pos, std::size_t& number) {
  number =
      1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(pos), '\r'));
  std::size_t start = text.rfind('\r', pos == 0 ? 0 : pos - 1);
  start = (start == std::string::npos || pos == 0) ? 0 : start + 1;
  if (start < text.size() && text[start] == '\n') ++start;
  std::size_t end = text.find('\r', pos);
  end = end == std::string::npos ? text.size() : end + 1;
  if (end < text.size() && text[end] == '\n') ++end;
  return text.substr(start, end - start);
}
}  // namespace

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return {};
  std::size_t pos = 0;
  while (pos < expected.size() && pos < actual.size() && expected[pos] == actual[pos]) ++pos;
  std::size_t line = 0;
  std::string e = pos < expected.size() ? LineAt(expected, pos, line) : "(end of text)";
  std::string a = pos < actual.size() ? LineAt(actual, pos, line) : "(end of text)";
  LineAt(expected.size() > actual.size() ? expected : actual, pos, line);
  return "first difference at byte " + std::to_string(pos) + ", line " + std::to_string(line) +
         "\n  expected: " + Visible(e) + "\n  actual:   " + Visible(a);
}

DialRec Dial(const std::string& name, const std::string& extName, const std::string& type, double value,
             int hidden, bool extNameOn, bool hiddenOn, bool valueOn) {
  DialRec d;
  d.Name = name;
  d.ExtName = extName;
  d.ChannelType = type;
  d.Value = value;
  d.Hidden = hidden;
  d.ExtNameOn = extNameOn;
  d.HiddenOn = hiddenOn;
  d.ValueOn = valueOn;
  return d;
}

MaterialRec BareMaterial(const std::string& name) {
  MaterialRec m;
  m.Name = name;
  return m;
}

void MakeMaterialDocument() {
  ResetModel();
  gState.FileNotes = "Made by hand\r\nfor Vandrel";
  gState.RequiredVersion = "4,01";

  MaterialRec skin = BareMaterial("Skin");
  skin.ObjectColor = {200, 100, 0};
  skin.AmbientColor = {51, 102, 153};
  skin.HighlightColor = {255, 255, 255};
  skin.TextureStrength = "80";
  skin.HighlightSize = 33;
  skin.TransparencyMin = 0;
  skin.TransparencyMax = 50;
  skin.TransparencyFalloff = 0.6f;
  skin.BumpStrength = "100";
  skin.KsIgnoreTexture = true;
  skin.MultiplyThroughLights = false;
  skin.MultiplyThroughKdColor = true;
  skin.TextureMap = ":Runtime:textures:My Skin.jpg";
  skin.BumpMap = "no_map";
  skin.ReflectionMap = "C:\\Poser\\Runtime\\textures\\sky.tif";
  skin.TransparencyMap = ":Runtime:textures:unsaved.jpg";  // its switch stays off
  skin.ReflectiveColor = {128, 204, 17};
  skin.ReflectionStrength = "25";
  for (int i = 0; i < MaterialRec::kSwitchCount; ++i) skin.SwitchOn(i) = true;
  skin.TransparencyMapOn = false;

  MaterialRec rubber = BareMaterial("Rubber");
  rubber.ObjectColor = {170, 85, 255};
  rubber.ObjectColorOn = true;
  rubber.HighlightSize = 100;
  rubber.HighlightSizeOn = true;
  rubber.TransparencyMin = 100;
  rubber.TransparencyMinOn = true;

  gObjects = {ObjectRec{"figure", {skin, BareMaterial("Eyes")}}, ObjectRec{"prop ball", {rubber}}};
  gObjectList = {"figure", "prop ball"};
}

void MakeActorDocument() {
  ResetModel();
  gState.FileNotes = "Made by hand\r\nsecond line\r\n";
  gState.RequiredVersion = "5";

  MaterialRec skin = BareMaterial("Skin");
  skin.ObjectColor = {255, 0, 0};
  skin.ObjectColorOn = true;
  MaterialRec hip = BareMaterial("Hip");
  hip.HighlightSizeOn = true;  // size 1
  MaterialRec patch = BareMaterial("Patch");
  patch.TransparencyMax = 100;
  patch.TransparencyMaxOn = true;
  MaterialRec strands = BareMaterial("Strands");
  strands.KsIgnoreTextureOn = true;

  gObjects = {ObjectRec{"figure", {skin}}, ObjectRec{"hip:1", {hip}}, ObjectRec{"Stray:1", {patch}},
              ObjectRec{"prop FigureHAIR_long", {strands}}};
  gObjectList = {"figure", "actor hip:1", "actor Stray:1", "prop FigureHAIR_long"};

  ActorRec body;
  body.Kind = "actor";
  body.Name = "BODY:1";
  ActorProperties& bodyProps = body.EditProps();
  bodyProps.ExtName = "Body";
  bodyProps.OnOff = 2;
  bodyProps.Hidden = 1;
  bodyProps.Locked = 2;
  bodyProps.DepthMapSize = 257;
  bodyProps.DoShadow = 2;
  bodyProps.LightOn = 1;
  body.PropertyOn.fill(true);
  // Light and camera lines never belong to a body part.
  bodyProps.StorageOffset = "0 0.3 0";
  bodyProps.ObjFileGeom = "0 0 body.obj";
  bodyProps.GeomResource = 3;
  bodyProps.LightType = 2;
  bodyProps.DepthCamera = "CAM";
  bodyProps.Port = "7";
  bodyProps.CameraModel = "model";
  DialRec muscle = Dial("PBMCC_01", "Muscle", "valueParm", 0.25, 1, true, true, true);
  DialRec smile = Dial("Smile", "Smile dial", "targetGeom", 0.5, 1, false, false, false);
  DialRec xrot = Dial("xrot", "", "rotateX", -12.5, 0, true, true, true);
  body.Dials = {muscle, smile, xrot};

  ActorRec hipActor;
  hipActor.Kind = "actor";
  hipActor.Name = "hip:1";
  ActorProperties& hipActorProps = hipActor.EditProps();
  hipActorProps.ExtName = "Hip";  // its switch is off
  hipActorProps.OnOff = 1;
  hipActorProps.Hidden = 2;
  hipActor.PropertyOn[1] = true;
  hipActor.Dials = {DialRec{}};  // channel 0 without a name: no channel block

  ActorRec light;
  light.Kind = "light";
  light.Name = "Light_1";
  ActorProperties& lightProps = light.EditProps();
  lightProps.ExtName = "Spot";
  lightProps.StorageOffset = "0 0 0";
  lightProps.ObjFileGeom = "0 0 :Runtime:Geometries:lights:spot.obj";
  lightProps.GeomResource = 1;
  lightProps.LightType = 2;
  lightProps.DepthCamera = "SHADOW_CAM";
  lightProps.Port = "1";
  lightProps.CameraModel = "cm";
  lightProps.DoShadow = 1;
  lightProps.LightOn = 2;
  lightProps.DepthMapSize = 0;  // absent although switched on
  lightProps.OnOff = 0;         // neither "on" nor "off"
  light.PropertyOn.fill(true);
  light.Dials = {Dial("KdRed", "", "kdRed", 1.0, 0, false, false, true)};

  ActorRec hair;
  hair.Kind = "prop";
  hair.Name = "FIGUREHAIR";

  gActors = {body, hipActor, light, hair};
}

void MakeAllMapsDocument() {
  ResetModel();
  gState.RequiredVersion = "5";
  MaterialRec m = BareMaterial("Skin5");
  m.ObjectColor = {200, 100, 0};
  m.HighlightColor = {51, 102, 153};
  m.AmbientColor = {255, 255, 255};
  m.ReflectiveColor = {128, 204, 17};
  m.HighlightSize = 33;
  m.TransparencyMin = 100;
  m.TransparencyMax = 100;
  m.TransparencyFalloff = 0.6f;
  m.TextureMap = ":Runtime:textures:My Skin.jpg";
  m.TransparencyMap = ":Runtime:textures:trans.jpg";
  m.ReflectionMap = "C:\\Poser\\Runtime\\textures\\sky.tif";
  m.BumpMap = ":Runtime:textures:skin_b.JPG";
  m.TextureStrength = "50";
  m.BumpStrength = "100";
  m.ReflectionStrength = "80";
  m.KsIgnoreTexture = false;
  for (int i = 0; i < MaterialRec::kSwitchCount; ++i) m.SwitchOn(i) = true;
  m.MultiplyThroughLightsOn = false;
  m.MultiplyThroughKdColorOn = false;
  gObjects = {ObjectRec{"figure", {m}}};
  gObjectList = {"figure"};
}

void MakeBumpDocument() {
  ResetModel();
  gState.RequiredVersion = "5";
  MaterialRec grad = BareMaterial("GradBump");
  grad.BumpMap = ":Runtime:textures:skin.BUM";
  grad.BumpMapOn = true;
  grad.BumpStrength = "250";
  grad.BumpStrengthOn = true;

  MaterialRec jpg = BareMaterial("JpgBump");
  jpg.BumpMap = "C:\\Textures\\rough.jpg";
  jpg.BumpMapOn = true;
  jpg.BumpStrength = "100";
  jpg.BumpStrengthOn = true;
  jpg.TransparencyMin = 100;
  jpg.TransparencyMax = 100;
  jpg.TransparencyFalloff = 0.6f;
  jpg.TransparencyMinOn = jpg.TransparencyMaxOn = jpg.TransparencyFalloffOn = true;

  MaterialRec numbering = BareMaterial("Numbering");
  numbering.TextureMap = ":Runtime:textures:off.jpg";  // not saved: takes no number
  numbering.TextureStrength = "50";
  numbering.TextureStrengthOn = true;
  numbering.TransparencyMap = ":Runtime:textures:veil.jpg";
  numbering.TransparencyMapOn = true;  // numbered although Transparency_Max is not written
  numbering.ReflectionMapOn = true;    // NO_MAP: Reflection_Color carries only its link
  numbering.BumpMap = ":Runtime:textures:n.bum";
  numbering.BumpMapOn = true;

  gObjects = {ObjectRec{"figure", {grad, jpg, numbering}}};
  gObjectList = {"figure"};
}

void MakeMtlDocument() {
  ResetModel();
  MaterialRec skin = BareMaterial("Skin");
  skin.HighlightSize = 33;
  skin.AmbientColor = {51, 102, 153};
  skin.ObjectColor = {200, 100, 0};
  skin.HighlightColor = {255, 255, 255};
  skin.TextureMap = "C:\\Poser\\Runtime\\textures\\My Skin.jpg";
  skin.BumpMap = ":Runtime:textures:skin.bum";
  skin.ReflectionMap = ":Runtime:textures:sky.jpg";
  skin.TransparencyMap = ":Runtime:textures:veil.jpg";
  skin.ReflectiveColor = {1, 2, 3};
  skin.TransparencyMin = 50;
  for (int i = 0; i < MaterialRec::kSwitchCount; ++i) skin.SwitchOn(i) = true;

  MaterialRec ball = BareMaterial("Skin");
  ball.ObjectColor = {128, 17, 0};
  ball.ObjectColorOn = true;
  ball.TextureMapOn = true;  // NO_MAP
  ball.BumpMap = "/home/user/textures/ball.jpg";
  ball.BumpMapOn = true;

  gObjects = {ObjectRec{"figure", {skin, BareMaterial("Eyes")}}, ObjectRec{"prop ball", {ball}}};
  gObjectList = {"figure", "prop ball"};
}

PoseWriteOptions OptionsFor(const std::string& path) {
  PoseWriteOptions o;
  o.OutputPath = path;
  o.RequiredVersion = gState.RequiredVersion;
  return o;
}

}  // namespace vandrel::test
