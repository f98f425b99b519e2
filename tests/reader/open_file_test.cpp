#include <gtest/gtest.h>

#include <clocale>

#include "common/text.h"
#include "model/model.h"
#include "model/object_list.h"
#include "open_file_fixture.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"

namespace vandrel::test {
namespace {

TEST_F(OpenFileTest, APoseFileGivesEveryMaterialKeyInEachLineEnding) {
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    ResetModel();
    const OpenFileResult r = Open("materials.pz2", kPz2, ends);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gObjectList, ObjectList{"figure"});
    ASSERT_EQ(gObjects.size(), 1u);
    EXPECT_EQ(gObjects[0].Name, "figure");
    // "material " inside a map path makes no material.
    EXPECT_EQ(MaterialNames(0),
              (std::vector<std::string>{"Full", "Empty", "Ranges", "ZeroExp", "NotANumber", "MapInPath"}));

    const MaterialRec& full = gObjects[0].Materials[0];
    EXPECT_EQ(full.ObjectColor, (ColorRec{255, 128, 0}));
    EXPECT_EQ(full.AmbientColor, (ColorRec{76, 76, 76}));
    EXPECT_EQ(full.HighlightColor, (ColorRec{230, 230, 230}));
    EXPECT_EQ(full.ReflectiveColor, (ColorRec{134, 172, 216}));
    EXPECT_EQ(full.TextureStrength, "75");
    EXPECT_EQ(full.HighlightSize, 71);
    EXPECT_EQ(full.TransparencyMin, 25);
    EXPECT_EQ(full.TransparencyMax, 12);
    EXPECT_FLOAT_EQ(full.TransparencyFalloff, 0.6f);
    EXPECT_EQ(full.BumpStrength, "14");
    EXPECT_EQ(full.ReflectionStrength, "50");
    EXPECT_TRUE(full.KsIgnoreTexture);
    EXPECT_FALSE(full.MultiplyThroughLights);
    EXPECT_FALSE(full.MultiplyThroughKdColor);
    EXPECT_EQ(full.TextureMap, "C:\\Program Files\\Poser 4\\Runtime\\Textures\\Vandrel\\My Skin.jpg");
    EXPECT_EQ(full.BumpMap, "NO_MAP");
    EXPECT_EQ(full.ReflectionMap, ":Runtime:Textures:Vandrel:reflect.jpg");
    EXPECT_EQ(full.TransparencyMap, "::Runtime:Textures:Vandrel:trans map.tif");
    for (int i = 0; i < MaterialRec::kSwitchCount; ++i) EXPECT_TRUE(full.SwitchOn(i)) << i;

    const MaterialRec& empty = gObjects[0].Materials[1];
    for (int i = 0; i < MaterialRec::kSwitchCount; ++i) EXPECT_FALSE(empty.SwitchOn(i)) << i;
    EXPECT_EQ(empty.HighlightSize, 1);
    EXPECT_EQ(empty.TextureMap, "NO_MAP");

    const MaterialRec& ranges = gObjects[0].Materials[2];
    EXPECT_EQ(ranges.ObjectColor, (ColorRec{510, -255, 1}));
    EXPECT_EQ(ranges.HighlightSize, 1);
    EXPECT_FALSE(ranges.HighlightSizeOn);
    EXPECT_EQ(ranges.BumpStrength, "0");
    EXPECT_TRUE(ranges.BumpStrengthOn);
    EXPECT_EQ(ranges.ReflectionStrength, "-1000");
    EXPECT_EQ(ranges.TransparencyMin, 1000);
    EXPECT_EQ(ranges.TransparencyMax, 0);
    EXPECT_FLOAT_EQ(ranges.TransparencyFalloff, 0.12f);
    EXPECT_FALSE(ranges.KsIgnoreTexture);
    EXPECT_TRUE(ranges.KsIgnoreTextureOn);

    const MaterialRec& zero = gObjects[0].Materials[3];
    EXPECT_EQ(zero.HighlightSize, 101);
    EXPECT_TRUE(zero.HighlightSizeOn);
    EXPECT_FALSE(zero.ObjectColorOn);       // "kdcolor" is not the key
    EXPECT_EQ(zero.TextureStrength, "50");  // one number: the number itself

    const MaterialRec& nan = gObjects[0].Materials[4];
    EXPECT_EQ(nan.ObjectColor, (ColorRec{0, 0, 0}));
    EXPECT_TRUE(nan.ObjectColorOn);
    EXPECT_EQ(nan.HighlightSize, 101);
    EXPECT_EQ(nan.TransparencyMax, 40);  // "tMax " first stands inside "mytMax "

    const MaterialRec& paths = gObjects[0].Materials[5];
    EXPECT_EQ(paths.TextureMap, "D:\\Textures\\material skins\\face.jpg");
    EXPECT_EQ(paths.BumpMap, "D:\\material \\bump.jpg");

    EXPECT_TRUE(r.channelsOff);  // no actors
    EXPECT_FALSE(r.noMaterialData);
    EXPECT_TRUE(r.enableSave && r.enableSaveAs && r.enableExportMtl && r.selectFirstObject);
    EXPECT_TRUE(r.enableDeleteObject);  // the list has an entry
    EXPECT_EQ(gState.ReadVersion, "4.01");
    EXPECT_FALSE(gState.Dirty);
    EXPECT_TRUE(gActors.size() == 1 && gActors[0].Name.empty());
  }
}

TEST_F(OpenFileTest, NumbersReadTheSameUnderADecimalCommaLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
    GTEST_SKIP() << "no de_DE locale on this machine";
  const OpenFileResult r = Open("materials.pz2", kPz2, LineEnds::CrLf);
  std::setlocale(LC_ALL, "C");
  ASSERT_TRUE(r.ok) << r.errorReport;
  const MaterialRec& full = gObjects[0].Materials[0];
  EXPECT_EQ(full.ObjectColor, (ColorRec{255, 128, 0}));
  EXPECT_EQ(full.BumpStrength, "14");
  EXPECT_FLOAT_EQ(full.TransparencyFalloff, 0.6f);
  EXPECT_EQ(gState.ReadVersion, "4.01");
}

// Read from the file in each line ending, and from a text given in place of
// the file, whose own file is never read (its comment lines put the version
// block past the first 50 characters there too).
TEST_F(OpenFileTest, ACharacterWithItsPropsGivesOneGroupEach) {
  const std::string given = DataFile("figure_props.cr2");
  for (std::size_t way = 0; way <= std::size(kAllLineEnds); ++way) {
    const bool fromText = way == std::size(kAllLineEnds);
    SCOPED_TRACE(fromText ? "given text" : LineEndsName(kAllLineEnds[way]));
    const std::string name = fromText ? "chosen.cr2" : "figure_props.cr2";
    ResetModel();
    host.stages.clear();
    gState.LoadProps = true;
    OpenFileOptions options;
    options.fileType = kCr2;
    options.path = dir.file(name);
    options.text = given;
    const OpenFileResult r = fromText ? ReadPoserFile(options, host) : Open(name, kCr2, kAllLineEnds[way]);
    ASSERT_TRUE(r.ok) << r.errorReport;
    // Props from the last in the file to the first; "prop ball" does not eat "prop ball_2".
    EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop ball", "prop ball_2"}));
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"figure", "prop ball", "prop ball_2"}));
    EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"Preview", "skin"}));
    EXPECT_EQ(MaterialNames(1), (std::vector<std::string>{"Skin2", "Metal"}));
    EXPECT_EQ(MaterialNames(2), std::vector<std::string>{"Rubber"});
    EXPECT_EQ(gObjects[0].Materials[1].TextureMap,
              "C:\\Program Files\\Poser 4\\Runtime\\Textures\\Vandrel\\my skin.jpg");
    EXPECT_EQ(gObjects[0].Materials[1].BumpMap, ":Runtime:Textures:Vandrel:skin bump.bum");
    EXPECT_EQ(gObjects[0].Materials[1].BumpStrength, "2");
    EXPECT_EQ(gObjects[1].Materials[0].TextureMap, ":Runtime:Textures:Vandrel:ball skin.jpg");
    EXPECT_EQ(gObjects[1].Materials[1].ReflectionStrength, "80");
    EXPECT_EQ(gObjects[2].Materials[0].ObjectColor, (ColorRec{255, 0, 0}));

    EXPECT_EQ(gState.FileNotes, "Vandrel test figure\r\nmade by hand for the tests  with a hash");
    EXPECT_EQ(gState.ReadVersion, "4.01");
    EXPECT_FALSE(gState.LoadProps);
    EXPECT_TRUE(r.enableObjectList && r.channelsOff && r.enableDeleteObject && r.enableSaveAs);
    EXPECT_FALSE(r.enableSave);
    EXPECT_EQ(r.caption, "Vandrel - [" + name + "]");
    EXPECT_EQ(gState.FileName, dir.file(name));
    EXPECT_TRUE(std::find(host.stages.begin(), host.stages.end(), "Looking for props...") !=
                host.stages.end());
  }
}

TEST_F(OpenFileTest, ACharacterWithoutPropsGivesOnlyTheFiguresMaterials) {
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    ResetModel();
    const OpenFileResult r = Open("figure_props.cr2", kCr2, ends);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gObjectList, ObjectList{"figure"});
    ASSERT_EQ(gObjects.size(), 1u);
    EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"Preview", "skin"}));
    EXPECT_EQ(gObjects[0].Materials[1].HighlightSize, 71);
    EXPECT_FALSE(r.enableObjectList);
  }
}

// A character file grown far past the reader's blocks: the same groups.
TEST_F(OpenFileTest, ALargeCharacterReadsTheSameAsASmallOne) {
  std::string text = DataFile("figure_props.cr2");
  std::string channels;
  for (int i = 0; i < 3000; ++i)
    channels += "\t\ttargetGeom Morph" + std::to_string(i) + "\n\t\t\t{\n\t\t\tname Morph" +
                std::to_string(i) + "\n\t\t\tkeys\n\t\t\t\t{\n\t\t\t\tk  0  0\n\t\t\t\t}\n\t\t\t}\n";
  const std::string anchor = "\t\tvalueParm Smile\n";
  text.insert(text.find(anchor), channels);
  const std::string hipAnchor = "\t\trotateX xrot\n";
  text.insert(text.find(hipAnchor), channels);
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    for (bool props : {false, true}) {
      ResetModel();
      gState.LoadProps = props;
      const OpenFileResult r = OpenText("big.cr2", WithLineEnds(text, ends), kCr2);
      ASSERT_TRUE(r.ok) << r.errorReport;
      EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"Preview", "skin"}));
      if (props) {
        EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop ball", "prop ball_2"}));
        EXPECT_EQ(MaterialNames(1), (std::vector<std::string>{"Skin2", "Metal"}));
        EXPECT_EQ(MaterialNames(2), std::vector<std::string>{"Rubber"});
      }
    }
  }
}

TEST_F(OpenFileTest, PropAndHairFilesAreNamedByTheirPropLine) {
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    ResetModel();
    OpenFileResult r = Open("ball.pp2", kPp2, ends);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gObjectList, ObjectList{"prop ball"});
    EXPECT_EQ(GroupNames(), std::vector<std::string>{"prop ball"});
    EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"Rubber", "Chrome"}));
    EXPECT_EQ(gObjects[0].Materials[1].ReflectionMap, ":Runtime:Textures:Vandrel:chrome.jpg");
    EXPECT_FALSE(gIsHairFile);

    ResetModel();
    r = Open("hair.hr2", kHr2, ends);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gObjectList, ObjectList{"prop figureHair"});
    EXPECT_EQ(MaterialNames(0), std::vector<std::string>{"Hair"});
    EXPECT_EQ(gObjects[0].Materials[0].TransparencyMax, 100);
    EXPECT_EQ(gObjects[0].Materials[0].TransparencyMap, ":Runtime:Textures:Vandrel:hair trans.jpg");
    EXPECT_TRUE(gIsHairFile);
    EXPECT_EQ(gState.ReadVersion, "4.0");
  }
}

TEST_F(OpenFileTest, APoseFileHandsItsObjectPartToTheChannelReader) {
  std::string lfText;
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    ResetModel();
    std::string objectText;
    const OpenFileResult r = Open("actors_figure.pz2", kPz2, ends, false, [&](std::string_view text, Host&) {
      objectText = text;
      AddObjectListItem("actor BODY:1", 0);
      AddObjectListItem("actor head:1", 0);
    });
    ASSERT_TRUE(r.ok) << r.errorReport;
    // The object part begins with the first object line, whatever the line
    // ends, and stops before the figure block.
    EXPECT_TRUE(StartsWith(objectText, "actor BODY:1\n")) << objectText;
    EXPECT_EQ(objectText.back() == '\n' ? objectText[objectText.size() - 2] : objectText.back(), '}');
    EXPECT_EQ(InStr(objectText, "figure"), 0u);
    EXPECT_EQ(InStr(objectText, "\r"), 0u);
    // CR LF files keep an empty line per line end, and lone-CR files their
    // indentation, as the channel reader expects; the content is the same.
    const std::string content = RemoveChar(RemoveChar(objectText, '\n'), '\t');
    if (ends == LineEnds::Lf) {
      lfText = content;
      EXPECT_TRUE(EndsWith(objectText, "k  0  1\n}\n}\n}\n}")) << objectText;
    } else {
      EXPECT_EQ(content, lfText);
    }
    EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop hat", "actor BODY:1", "actor head:1"}));
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"figure", "prop hat"}));
    EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"skin", "eyes"}));
    EXPECT_EQ(MaterialNames(1), std::vector<std::string>{"Felt"});
    EXPECT_FALSE(r.channelsOff);  // the channel reader decides
  }
}

TEST_F(OpenFileTest, WithoutAChannelReaderAPoseFileGivesItsMaterialsOnly) {
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    ResetModel();
    const OpenFileResult r = Open("actors_figure.pz2", kPz2, ends);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop hat"}));
    EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"skin", "eyes"}));
    EXPECT_TRUE(gActors.size() == 1 && gActors[0].Name.empty());
    EXPECT_TRUE(r.channelsOff);
  }
}

TEST_F(OpenFileTest, AFigureBlockAfterThePropBlocksKeepsEveryMaterial) {
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    ResetModel();
    const OpenFileResult r = Open("props_first.pz2", kPz2, ends);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop ball_2", "prop ball"}));
    EXPECT_EQ(MaterialNames(0), std::vector<std::string>{"skin"});
    EXPECT_EQ(MaterialNames(1), std::vector<std::string>{"Glass"});
    EXPECT_EQ(MaterialNames(2), std::vector<std::string>{"Rubber"});
    EXPECT_EQ(gState.ReadVersion, "5");
  }
}

TEST_F(OpenFileTest, TheOtherPoseTypesAreReadWhole) {
  for (LineEnds ends : kAllLineEnds) {
    SCOPED_TRACE(LineEndsName(ends));
    std::vector<std::string> seen;
    const ObjectPartReader reader = [&](std::string_view text, Host&) { seen.emplace_back(text); };

    ResetModel();
    OpenFileResult r = Open("camera.cm2", kCm2, ends, false, reader);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_TRUE(r.noMaterialData);
    EXPECT_TRUE(gObjectList.empty());
    EXPECT_TRUE(r.enableSave);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(StartsWith(seen[0], "camera MAIN_CAMERA\n"));

    ResetModel();
    r = Open("face.fc2", kFc2, ends, false, reader);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(gState.FileNotes, "face pose\r\nmade for the tests");
    EXPECT_EQ(MaterialNames(0), std::vector<std::string>{"lips"});
    EXPECT_TRUE(StartsWith(seen.back(), "actor head:1\n"));

    ResetModel();
    r = Open("hand.hd2", kHd2, ends, false, reader);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_TRUE(r.noMaterialData);
    EXPECT_TRUE(StartsWith(seen.back(), "actor rHand:1\n"));

    ResetModel();
    r = Open("light.lt2", kLt2, ends, false, reader);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(MaterialNames(0), std::vector<std::string>{"Lamp"});
    EXPECT_TRUE(StartsWith(seen.back(), "light SPOTLIGHT_1\n"));
    EXPECT_EQ(seen.size(), 4u);
  }
}

TEST_F(OpenFileTest, TheVersionComesFromTheFileOrThePreferences) {
  const std::string noVersion = "{\nfigure\n{\nmaterial a\n{\nKdColor 1 1 1 1\n}\n}\n}\n";
  OpenText("a.pz2", noVersion, kPz2);
  EXPECT_EQ(gState.ReadVersion, "");
  EXPECT_EQ(gState.RequiredVersion, "4.01");
  EXPECT_EQ(gState.FileNotes, "");

  gSettings.PVersionNumber = "4.03";
  gSettings.P5VersionNumber = "5.0.3";
  OpenText("a.pz2", noVersion, kPz2);
  EXPECT_EQ(gState.RequiredVersion, "4.03");
  OpenText("a.pz2", noVersion, kPz2, true);
  EXPECT_EQ(gState.RequiredVersion, "5.0.3");

  const OpenFileResult r = Open("materials.pz2", kPz2, LineEnds::CrLf);
  EXPECT_TRUE(r.setRequiredVersion);
  EXPECT_EQ(gState.RequiredVersion, "4.01");
  gSettings.SetPoserVersion = true;
  Open("materials.pz2", kPz2, LineEnds::Lf);
  EXPECT_EQ(gState.RequiredVersion, "4.03");
  EXPECT_EQ(gState.ReadVersion, "4.01");
  Open("materials.pz2", kPz2, LineEnds::Lf, true);
  EXPECT_EQ(gState.RequiredVersion, "4.01");  // SetP5Version is off
  gSettings.SetP5Version = true;
  Open("materials.pz2", kPz2, LineEnds::Lf, true);
  EXPECT_EQ(gState.RequiredVersion, "5.0.3");
}

TEST_F(OpenFileTest, ObjectListKeepsActorsLast) {
  AddObjectListItem("actor a", 0);
  AddObjectListItem("figure", 0);
  AddObjectListItem("prop x", 0);
  AddObjectListItem("actor b", 0);
  AddObjectListItem("first", 1);
  EXPECT_EQ(gObjectList, (ObjectList{"first", "figure", "prop x", "actor a", "actor b"}));
}

// Lights and cameras with their own materials belong with the actors: a
// figure or prop entry goes before the first of them, whichever kind it is.
TEST_F(OpenFileTest, ObjectListKeepsLightsAndCamerasWithTheActors) {
  AddObjectListItem("camera Cam", 1);
  AddObjectListItem("light Spot", 0);
  AddObjectListItem("figure", 0);
  AddObjectListItem("actor hip", 0);
  AddObjectListItem("prop ball", 0);
  AddObjectListItem("Light lower", 0);  // the kinds are case-sensitive
  EXPECT_EQ(gObjectList,
            (ObjectList{"figure", "prop ball", "Light lower", "camera Cam", "light Spot", "actor hip"}));
  EXPECT_EQ(FirstActorListIndex(), 3u);
  EXPECT_FALSE(IsOwnMaterialsEntry("prop light "));
}

// Texts that once lost their object-list order or read past a block's end.
TEST_F(OpenFileTest, EveryGroupHasItsObjectListEntry) {
  const ObjectPartReader channels = [](std::string_view text, Host& h) { ReadObjectPart(text, h); };
  // No version block at the top and no "figure" line: the text's only group
  // is named by its first line, ahead of the group of the actor's own
  // materials, and each has its entry.
  const std::string headerless =
      "{\nmaterial Skin\n{\nKdColor 0 1 0 1\n}\nversion\n{\nnumber 4.01\n}\nactor BODY:1\n{\nchannels\n{\n"
      "valueParm a\n{\nkeys\n{\nk  0  1\n}\n}\n}\ncustomMaterial 1\nmaterial Own\n{\nKdColor 1 0 0 "
      "1\n}\n}\n}\n";
  for (LineEnds ends : kAllLineEnds) {
    ResetModel();
    const OpenFileResult r =
        OpenText("headerless.pz2", WithLineEnds(headerless, ends), kPz2, false, channels);
    ASSERT_TRUE(r.ok) << r.errorReport;
    ASSERT_EQ(gObjects.size(), 2u) << LineEndsName(ends);
    EXPECT_EQ(gObjectList, (ObjectList{gObjects[0].Name, "actor BODY:1"})) << LineEndsName(ends);
    EXPECT_EQ(MaterialNames(0), std::vector<std::string>{"Skin"});
    EXPECT_EQ(MaterialNames(1), std::vector<std::string>{"Own"});
  }
  // A material without a block of its own before the next group: a
  // material with nothing read.
  ResetModel();
  const OpenFileResult open = OpenText("open.pz2",
                                       "{\nversion\n{\nnumber 4.01\n}\nfigure\n{\nmaterial A\n{\n"
                                       "KdColor 1 1 1 1\n}\nmaterial B\nprop x\n{\nmaterial C\n{\n}\n}\n}\n",
                                       kPz2);
  ASSERT_TRUE(open.ok) << open.errorReport;
  EXPECT_EQ(MaterialNames(0), (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(gObjects[0].Materials[1].ObjectColorOn);
}

}  // namespace
}  // namespace vandrel::test
