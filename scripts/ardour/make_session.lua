-- Run by ardour7-lua: makes a session on the dummy backend with one MIDI
-- track playing a Standard MIDI File through Tessaravox, the plug-in's state
-- taken from a preset file, and a session range of the given length.
-- NAME must be the last folder of SESSION_DIR, as Ardour names it.
-- Arguments: SESSION_DIR NAME RATE MIDI_FILE PRESET_FILE LENGTH_SAMPLES
local dir, name, rate, midi_path, preset_path, length = arg[1], arg[2], tonumber(arg[3]), arg[4], arg[5], tonumber(arg[6])

local function fail(message)
  print("make_session: " .. message)
  os.exit(1)
end

local function read_file(path)
  local f = io.open(path, "rb")
  if not f then fail("cannot read " .. path) end
  local data = f:read("a")
  f:close()
  return data
end

local function write_file(path, data)
  local f = io.open(path, "wb")
  if not f then fail("cannot write " .. path) end
  f:write(data)
  f:close()
end

-- The preset text as a host hands it over as state: CR LF as LF, UTF-16LE.
local function preset_chunk(text)
  text = text:gsub("\r\n", "\n")
  local out = {}
  for _, c in utf8.codes(text) do
    if c >= 0x10000 then
      c = c - 0x10000
      out[#out + 1] = string.pack("<I2I2", 0xD800 + (c >> 10), 0xDC00 + (c & 0x3FF))
    else
      out[#out + 1] = string.pack("<I2", c)
    end
  end
  return table.concat(out)
end

local function base64(data)
  local alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
  local out = {}
  for i = 1, #data, 3 do
    local a, b, c = data:byte(i, i + 2)
    local n = (a << 16) | ((b or 0) << 8) | (c or 0)
    for k = 0, 3 do
      if k <= 1 or (k == 2 and b) or (k == 3 and c) then
        local v = (n >> (18 - 6 * k)) & 63
        out[#out + 1] = alphabet:sub(v + 1, v + 1)
      else
        out[#out + 1] = "="
      end
    end
  end
  return table.concat(out)
end

-- Ticks per quarter note and the last tick of a type 0 file at 120 BPM.
local function midi_extent(data)
  if data:sub(1, 4) ~= "MThd" then fail(midi_path .. " is not a Standard MIDI File") end
  local format, tracks, division = string.unpack(">I2I2I2", data, 9)
  if format ~= 0 or tracks ~= 1 or division >= 0x8000 then fail(midi_path .. ": only type 0 files with ticks per quarter") end
  local pos = 15
  if data:sub(pos, pos + 3) ~= "MTrk" then fail(midi_path .. ": no track chunk") end
  local size = string.unpack(">I4", data, pos + 4)
  pos = pos + 8
  local stop, tick, status = pos + size, 0, 0
  local function varlen()
    local v = 0
    repeat
      local b = data:byte(pos); pos = pos + 1
      v = (v << 7) | (b & 0x7F)
    until b < 0x80
    return v
  end
  while pos < stop do
    tick = tick + varlen()
    local b = data:byte(pos)
    if b >= 0x80 then status = b; pos = pos + 1 end
    if status == 0xFF then
      local kind = data:byte(pos)
      pos = pos + 1
      local length = varlen()
      -- The session keeps Ardour's tempo, 120 beats per minute.
      if kind == 0x51 and string.unpack(">I3", data, pos) ~= 500000 then
        fail(midi_path .. ": a tempo other than 120 beats per minute")
      end
      pos = pos + length
    elseif status == 0xF0 or status == 0xF7 then
      pos = pos + varlen()
    else
      local high = status & 0xF0
      pos = pos + ((high == 0xC0 or high == 0xD0) and 1 or 2)
    end
  end
  return division, tick
end

-- Ardour's objects are let go before the session closes: a reference still
-- held by Lua when the interpreter ends crashes it.
local function make_track()
  AudioEngine:set_backend("None (Dummy)", "", "")
  local session = create_session(dir, name, rate)
  if not session then fail("cannot create the session in " .. dir) end

  local info
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == ARDOUR.PluginType.LXVST and p.name == "Tessaravox" then info = p end
  end
  if not info then fail("Tessaravox is not among the plug-ins Ardour lists") end

  local tracks = session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
    ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), false, info, nil, nil, 1, "Tessaravox",
    ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
  if tracks:size() ~= 1 then fail("no MIDI track was made") end
  local track = tracks:front()
  -- The track is connected to the master bus later, from the process thread;
  -- a session saved before that exports silence.
  local master = session:master_out():input()
  for c = 0, 1 do
    local port, target = track:output():audio(c), master:audio(c):name()
    if not port:connected_to(target) then port:connect(target) end
    if not port:connected_to(target) then fail("the track's output " .. c .. " is not connected to the master bus") end
  end
  session:save_state("", false, false, false, false, false)
end

make_track()
collectgarbage()
local end_text = Temporal.timepos_t(length):str()
close_session()

-- What the scripting interface cannot do, the session file says: the MIDI
-- file as a source with a whole-file region, the same region in the
-- track's playlist, the preset as the plug-in's state and the session range.
local midi = read_file(midi_path)
local division, last_tick = midi_extent(midi)
local file_name = midi_path:match("([^/]+)$")
write_file(dir .. "/interchange/" .. name .. "/midifiles/" .. file_name, midi)

local xml_path = dir .. "/" .. name .. ".ardour"
local xml = read_file(xml_path)
-- Ardour ends the notes still sounding at a region's end itself, which
-- does not sound exactly like the file's own note-off at that moment: the
-- region reaches one beat past the last event.
local ticks = last_tick * 1920 // division + 1920
local source_id, whole_id, used_id, range_id = "900001", "900002", "900003", "900004"
local function region(id)
  return string.format('<Region name="%s" muted="0" opaque="1" locked="0" video-locked="0" automatic="0" whole-file="%d" import="1" external="0" sync-marked="0" left-of-split="0" right-of-split="0" hidden="0" position-locked="0" valid-transients="0" start="b0" length="b%d@b0" position="b0" sync-position="b0" stretch="1" shift="1" layering-index="0" tags="" reg-group="0" contents="1" id="%s" type="midi" first-edit="nothing" source-0="%s" master-source-0="%s"/>',
    file_name:gsub("%.mid$", ""), id == whole_id and 1 or 0, ticks, id, source_id, source_id)
end
-- Replaces the one match of PATTERN; REPLACEMENT is taken literally
-- except for "%1", the first capture.
local function replace(pattern, replacement)
  local n
  xml, n = xml:gsub(pattern, function(capture) return (replacement:gsub("%%1", function() return capture or "" end)) end, 1)
  if n ~= 1 then fail("unexpected session file: no match for " .. pattern) end
end
replace("<Sources/>", string.format('<Sources>\n    <Source name="%s" type="midi" flags="" id="%s" captured-for="" take-id="" natural-position="b0" origin=""/>\n  </Sources>', file_name, source_id))
replace("<Regions/>", "<Regions>\n    " .. region(whole_id) .. "\n  </Regions>")
replace('(<Playlist [^>]*type="midi"[^>]*)/>', "%1>\n      " .. region(used_id) .. "\n    </Playlist>")
replace('(<chunk program="0">)[^<]*</chunk>', "%1" .. base64(preset_chunk(read_file(preset_path))) .. "</chunk>")
replace("<Locations/>", string.format('<Locations>\n    <Location id="%s" name="session" start="a0" end="%s" flags="IsSessionRange" locked="0" timestamp="0" cue="0"/>\n  </Locations>', range_id, end_text))
write_file(xml_path, xml)

print("make_session: wrote " .. xml_path)
