#include "reader/channel_literal.h"

#include <cmath>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "model/object_list.h"
#include "reader/channel_literal_text.h"
#include "reader/channel_scan.h"
#include "reader/custom_materials.h"
#include "reader/material_parser.h"
#include "reader/read_fault.h"

namespace vandrel::literal {

std::string NextObjectBlock(const std::string& text, bool checkEmpty) {
  return NextBlockOf(text, checkEmpty, true);
}

ChannelReadResult LoadMorphsAndPoses(const std::string& text, bool insertOne, bool append) {
  ChannelReadResult result;
  const std::size_t n = text.size();
  std::size_t thigh = InStr(text, "\nthighLength ");
  std::size_t restAt = thigh != 0 ? thigh + 13 : (StartsWith(text, "thighLength ") ? 13 : 0);
  if (restAt != 0) {
    const std::size_t lf = InStr(restAt, text, "\n");
    gThighLength = FiniteSingle(Number(Span(text, restAt, lf == 0 ? n + 1 : lf)));
    std::string shown = Trim(FormatSingle(gThighLength));
    if (StartsWith(shown, ".")) shown = "0" + shown;
    result.ThighLengthText = shown;
    result.DisableThighLength = false;
  }
  auto reset = [] {
    gActors.assign(1, ActorRec{});
    gActors[0].Dials.assign(1, DialRec{});
    gActorList.clear();
  };
  std::size_t limit = n;
  if (!insertOne && !append) {
    reset();
    const std::size_t f = InStr(text, "\nfigure");
    limit = f != 0 ? f : n;
  } else if (gActorList.empty() || Trim(gActorList[0].Text()).empty()) {
    reset();
  }

  std::size_t p = 1;
  std::size_t lastLineEnd = 0;
  while (p < limit) {
    const std::string r = NextBlockFrom(text, p, true);
    const std::string keyword = Key(r);
    if (r != "none") p += static_cast<std::size_t>(Val(Mid(r, InStr(r, "\n") + 1)));
    if (!insertOne) {
      p = KeyAt(text, keyword, p);
      if (p == 0 || p > limit) break;
    }
    const std::size_t hl = InStr(p, text, "\n");
    const std::string header = CleanLine(Span(text, p, hl == 0 ? n + 1 : hl));
    const std::size_t b = InStr(header, " ");
    if (b == 0) {
      p += 6;
      if (insertOne) break;
      continue;
    }
    const std::string name = Mid(header, b + 1);
    const std::string kind = Left(header, b - 1);
    if (insertOne)
      gActorList.insert(gActorList.begin(), ActorListItem{name, kind});
    else
      gActorList.push_back(ActorListItem{name, kind});
    if (!gActors[0].Name.empty()) {
      gActors.resize(gActors.size() + 1);
      if (insertOne) {
        for (std::size_t i = gActors.size() - 1; i >= 1; --i) gActors[i] = gActors[i - 1];
        gActors[0] = ActorRec{};
      }
    }
    const std::size_t ai = insertOne ? 0 : gActors.size() - 1;
    gActors[ai] = ActorRec{};
    gActors[ai].Dials.assign(1, DialRec{});
    gActors[ai].Name = name;
    gActors[ai].Kind = kind;
    const bool lc = kind == "light" || kind == "camera";

    const std::string r2 = NextBlockFrom(text, p + 7, false);
    const std::size_t nextBlock = KeyAt(text, Key(r2), p + 6);
    std::size_t blockEnd = nextBlock;
    if (blockEnd == 0) blockEnd = n;

    const std::size_t ch = FindLine(text, "channels", p);
    const std::size_t cl = FindBrace(text, "}", p);
    std::size_t headEnd = n + 1;
    if (ch != 0 && (cl == 0 || ch < cl))
      headEnd = ch;
    else if (cl != 0)
      headEnd = cl;
    if (nextBlock != 0 && nextBlock < headEnd) headEnd = nextBlock;
    std::string head = RemoveChar(Replace(Span(text, p, headEnd), "\r", "\n"), '\t');
    while (InStr(head, "\n ") != 0) head = Replace(head, "\n ", "\n");
    {
      ActorRec& a = gActors[ai];
      bool f;
      if (IsWholeLine(head, "on")) {
        a.EditProps().OnOff = 2;
        a.PropertyOn[1] = true;
      } else if (IsWholeLine(head, "off")) {
        a.EditProps().OnOff = 1;
        a.PropertyOn[1] = true;
      }
      std::string v = KeyRest(head, "hidden", f);
      if (f) {
        v = RightTrimmed(v);
        a.EditProps().Hidden = ToInteger(Number(v.empty() ? "n" : Right(v, 1)) + 1);
        a.PropertyOn[2] = true;
      }
      if (lc) {
        v = KeyRest(head, "storageOffset", f);
        if (f) a.EditProps().StorageOffset = Trim(v);
        v = KeyRest(head, "geomResource", f);
        if (f) a.EditProps().GeomResource = ToInteger(Number(v) + 1);
        v = KeyRest(head, "lightType", f);
        if (f) a.EditProps().LightType = ToInteger(Number(v) + 1);
      }
      v = KeyRest(head, "name", f);
      if (f) {
        a.EditProps().ExtName = Trim(v);
        a.PropertyOn[0] = true;
      }
      if (lc) {
        v = KeyRest(head, "objFileGeom", f);
        if (f) a.EditProps().ObjFileGeom = Trim(v);
      }
    }

    // Channels.
    std::size_t searchStart = p;
    std::size_t anchor = FindLine(text, "channels", p);
    const std::size_t channelsOpen = anchor == 0 ? 0 : FindBrace(text, "{", anchor);
    std::size_t unusedClose = 0;
    // The "}" that closes the channels block (brace depth back to 0).
    std::size_t channelsEnd = blockEnd;
    if (channelsOpen != 0) {
      int depth = 0;
      for (std::size_t i = channelsOpen; i < blockEnd; ++i) {
        if (!BraceAt(text, i)) continue;
        if (Mid(text, i, 1) == "{") ++depth;
        if (Mid(text, i, 1) == "}" && --depth == 0) {
          channelsEnd = i;
          break;
        }
      }
    }
    if (channelsOpen != 0 && channelsOpen < blockEnd) {
      std::size_t j = channelsOpen + 1;
      while (j <= n && IsSpace(Mid(text, j, 1))) ++j;
      if (Mid(text, j, 1) == "}" && j < blockEnd) anchor = 0;  // an empty channels block holds no channel
    }
    bool first = true;
    std::size_t dialPos = p;
    std::size_t lastSearch = 0;
    bool progressed = true;
    while (dialPos < blockEnd) {
      if (anchor == 0 && first) break;
      std::size_t keysPos = FindLine(text, "keys", searchStart);
      if (keysPos == 0) keysPos = FindLine(text, "keys ", searchStart);
      std::size_t hidPos, namePos;
      if (first) {
        hidPos = namePos = FindBrace(text, "{", anchor);
      } else {
        hidPos = FindKey(text, "hidden ", searchStart);
        namePos = FindKey(text, "name ", searchStart);
      }
      const bool keysMissing = keysPos == 0;
      std::size_t m = keysPos;
      if ((hidPos > 0 && hidPos < m) || m == 0) m = hidPos;
      if ((namePos > 0 && namePos < m) || m == 0) m = namePos;
      if (!first) {
        std::size_t emptyPos = 0;
        for (std::size_t q = FindBrace(text, "{", searchStart); q != 0 && q < blockEnd;
             q = FindBrace(text, "{", q + 1))
          if (EmptyInnerBlockAt(text, channelsOpen, blockEnd, q, unusedClose)) {
            emptyPos = q;
            break;
          }
        if ((emptyPos > 0 && emptyPos < m) || m == 0) m = emptyPos;
      }
      first = false;
      if (m == 0 || m >= blockEnd || searchStart >= blockEnd) break;
      const std::size_t lastClose = FindBraceRev(text, "}", m);
      const std::size_t lastChannels = FindLineRev(text, "channels", m);
      if (lastClose > lastChannels)
        anchor = lastClose;
      else if (keysMissing) {
        anchor = FindBrace(text, "{", m);
        if (anchor != 0 && EmptyInnerBlockAt(text, channelsOpen, blockEnd, anchor, unusedClose)) {
          const std::size_t before = FindBraceRev(text, "}", anchor);
          if (before > m) anchor = before;
        }
      } else
        anchor = FindBrace(text, "{", lastChannels);
      if (anchor == 0) break;
      std::string line;
    step6:
      while (Mid(text, anchor + 3, 1) == "\n") ++anchor;
      const std::size_t le = InStr(anchor + 3, text, "\n");
      line = CleanLine(Span(text, anchor + 2, le == 0 ? n + 1 : le));
      searchStart = FindLine(text, "keys", anchor + 3) + 2;
      if (searchStart < 3) searchStart = FindLine(text, "keys ", anchor + 3) + 2;
      if (line.empty()) break;
      // The "}" of the block whose "{" is the first thing after the line end
      // at `lineEnd` and stands directly inside the channels block; 0 = none.
      const auto ownBlockClose = [&](std::size_t lineEnd) -> std::size_t {
        if (lineEnd == 0 || channelsOpen == 0) return 0;
        std::size_t q = lineEnd + 1;
        while (q <= n && IsSpace(Mid(text, q, 1))) ++q;
        int depth = 0;
        for (std::size_t i = channelsOpen; i < q && i < channelsEnd; ++i) {
          if (!BraceAt(text, i)) continue;
          if (Mid(text, i, 1) == "{") ++depth;
          if (Mid(text, i, 1) == "}") --depth;
        }
        if (!(Mid(text, q, 1) == "{" && BraceAt(text, q) && depth == 1 && q < channelsEnd)) return 0;
        std::size_t close = channelsEnd;
        int inner = 0;
        for (std::size_t i = q; i < channelsEnd; ++i) {
          if (!BraceAt(text, i)) continue;
          if (Mid(text, i, 1) == "{") ++inner;
          if (Mid(text, i, 1) == "}" && --inner == 0) {
            close = i;
            break;
          }
        }
        return close;
      };
      bool channelLine = channelsOpen == 0;
      const std::size_t close = ownBlockClose(le);
      if (close != 0) {
        if (searchStart > close || searchStart < 3) searchStart = close;
        channelLine = true;
      }
      bool made = false;
      const std::size_t bl = InStr(line, " ");
      if (bl != 0) {
        const std::string type = Left(line, bl - 1);
        const std::string dialName = Mid(line, bl + 1);
        if (type == "//" || type == "'" || type == "#") {
          // A comment line and the block that belongs to it make no channel.
          if (le == 0) break;
          anchor = close != 0 ? close : le - 1;
          goto step6;
        }
        // The line read starts before the channel made last: it is that
        // channel's line read again, and makes no channel.
        std::size_t q = anchor + 2;
        while (q <= n && IsSpace(Mid(text, q, 1))) ++q;
        const std::size_t t = q < dialPos ? 0 : FindChannelLine(text, type + " " + dialName, dialPos);
        if (channelLine && t != 0 && t < channelsEnd) {
          made = true;
          dialPos = t + type.size() + 1;
          const std::size_t lineEnd = InStr(dialPos, text, "\n");
          lastLineEnd = lineEnd;
          ActorRec& a = gActors[ai];
          if (!a.Dials[0].Name.empty()) a.Dials.resize(a.Dials.size() + 1);
          DialRec& d = a.Dials.back();
          d.Name = Span(text, dialPos, lineEnd == 0 ? n + 1 : lineEnd);

          const std::size_t close = FindBrace(text, "}", dialPos);
          const std::size_t nn = FindKey(text, "name", dialPos);
          if (nn > 0 && nn < close) {
            const std::size_t b2 = InStr(nn, text, " ");
            const std::size_t lf = InStr(nn, text, "\n");
            if (b2 != 0 && (lf == 0 || b2 < lf)) d.ExtName = Span(text, b2 + 1, lf == 0 ? n + 1 : lf);
            d.ExtNameOn = true;
            searchStart = nn;
          }
          const std::size_t h = FindKey(text, "hidden", dialPos);
          if (h >= 1 && h < close) {
            const std::size_t b3 = InStr(h, text, " ");
            const std::size_t lf = InStr(h, text, "\n");
            if (b3 != 0 && (lf == 0 || b3 < lf)) {
              d.Hidden = ToInteger(Number(Span(text, b3 + 1, lf == 0 ? n + 1 : lf)) + 1);
              searchStart = b3 + 1;
            } else {
              d.Hidden = 1;
            }
            d.HiddenOn = true;
          }
          if (!keysMissing) {
            const std::size_t open = FindBrace(text, "{", dialPos);
            const std::string kb =
                open != 0 && close >= open ? Mid(text, open, close - open + 1) : std::string();
            std::size_t k = InStr(2, kb, "k  ");
            while (k != 0 && !LineStartAt(text, open - 1 + k, true)) k = InStr(k + 1, kb, "k  ");
            std::string v = Mid(kb, k + 1);
            if (InStr(v, "\n") != 0) v = Left(v, InStr(v, "\n") - 1);
            v = Trim(RightTrimmed(v));
            v = Mid(v, InStr(v, " ") + 2);
            d.Value = Number(v);
            d.ValueOn = v == "0" || d.Value != 0;
          }
          d.ChannelType = type;
        }
      }
      if (!made) {
        if (!progressed && searchStart <= lastSearch) break;
        progressed = false;
      } else {
        progressed = true;
      }
      lastSearch = searchStart;
    }

    // Tail.
    std::size_t c = lastLineEnd > 0 ? FindBrace(text, "}", lastLineEnd) : FindBrace(text, "{", p) + 1;
    lastLineEnd = 0;
    if (c != 0) {
      const std::string r3 = NextBlockFrom(text, c + 2, false);
      std::size_t nextStart = KeyAt(text, Key(r3), c + 1);
      if (nextStart == 0) nextStart = n;
      const std::size_t tailEnd = FindBraceRev(text, "}", nextStart);
      std::string tail = Replace(RemoveChar(Span(text, c, tailEnd), '}'), "\r", "\n");
      while (InStr(tail, "\n ") != 0 || InStr(tail, "\n\t") != 0) {
        tail = Replace(tail, "\n ", "\n");
        tail = Replace(tail, "\n\t", "\n");
      }
      ActorRec& a = gActors[ai];
      bool f;
      std::string v = KeyRest(tail, "depthMapSize", f);
      if (f) {
        const int value = ToInteger(Number(v));
        a.EditProps().DepthMapSize = value != 0 ? value + 1 : 0;
        a.PropertyOn[5] = value != 0;
      }
      if (lc) {
        v = KeyRest(tail, "depthCamera", f);
        if (f) a.EditProps().DepthCamera = Trim(v);
      }
      v = KeyRest(tail, "doShadow", f);
      if (f) {
        a.EditProps().DoShadow = ToInteger(Number(v) + 1);
        a.PropertyOn[4] = true;
      }
      v = KeyRest(tail, "lightOn", f);
      if (f) {
        a.EditProps().LightOn = ToInteger(Number(v) + 1);
        a.PropertyOn[6] = true;
      }
      if (lc) {
        v = KeyRest(tail, "port", f);
        if (f) a.EditProps().Port = Trim(v);
        v = KeyRest(tail, "cameraModel", f);
        if (f) a.EditProps().CameraModel = Trim(v);
      }
      v = KeyRest(tail, "locked", f);
      if (f) {
        a.EditProps().Locked = ToInteger(Number(v) + 1);
        a.PropertyOn[3] = true;
      }
    }
    p += 6;
    if (insertOne) break;
  }

  // Own materials of actors, lights and cameras.
  gActorMaterialsFound = false;
  for (const ActorRec& actor : gActors) {
    if (actor.Kind == "prop" || actor.Name.empty()) continue;
    const std::size_t a = KeyAt(text, actor.Kind + " " + actor.Name, 1);
    if (a == 0) continue;
    std::size_t nextSame = 0;
    for (const char* key : kKeys) {
      const std::size_t at = KeyAt(text, key, a + 6);
      if (at != 0 && (nextSame == 0 || at < nextSame)) nextSame = at;
    }
    const std::size_t cm = InStr(a, text, "customMaterial");
    if (cm >= nextSame && nextSame != 0) continue;
    const int count = cm == 0 ? 0 : CustomMaterialCount(text, cm);
    std::size_t matPos = KeyAt(text, "material ", cm + 1);
    if (!(matPos >= 1 && count >= 1)) continue;
    gActorMaterialsFound = true;
    if (!gObjects[0].Name.empty()) gObjects.resize(gObjects.size() + 1);
    const int g = static_cast<int>(gObjects.size() - 1);
    gObjects[g] = ObjectRec{};
    gObjects[g].Name = actor.Name;
    AddObjectListItem(actor.Kind + " " + actor.Name, g + 1);
    for (int i = 1; i <= count; ++i) {
      std::size_t blockEndPos = InStr(matPos + 10, text, "}");
      if (blockEndPos == 0) blockEndPos = n;
      const std::string block = Replace(Span(text, matPos, blockEndPos), "\r", "\n");
      gObjects[g].Materials.Edit().resize(static_cast<std::size_t>(i));
      ParseMaterialBlock(block, g, i - 1);
      const std::size_t lf = InStr(block, "\n");
      gObjects[g].Materials.Edit()[i - 1].Name =
          lf == 0 ? Mid(block, 10) : Mid(block, 10, lf >= 10 ? lf - 10 : 0);
      if (i < count) {
        matPos = KeyAt(text, "material ", matPos + 10);
        if (matPos == 0) break;
      }
    }
  }
  for (const ActorRec& actor : gActors) {
    if (actor.Name.empty() || actor.Kind == "prop" || actor.Kind == "light" || actor.Kind == "camera")
      continue;
    bool named = false;
    for (const ObjectRec& g : gObjects) named = named || g.Name == actor.Name;
    if (!named) AddObjectListItem("actor " + actor.Name, 0);
  }
  result.ActorsListed = !gActorList.empty();
  return result;
}

}  // namespace vandrel::literal
