-- Run by ardour7-lua: opens a session, checks that it holds a MIDI track
-- with Tessaravox and one region, connected to the master bus, saves it and
-- writes the plug-in's state chunk as Ardour saved it to CHUNK_FILE.
-- Arguments: SESSION_DIR NAME CHUNK_FILE
local dir, name, chunk_path = arg[1], arg[2], arg[3]

local function fail(message)
  print("open_session: " .. message)
  os.exit(1)
end

local function base64_decode(text)
  local alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
  local value = {}
  for i = 1, 64 do value[alphabet:byte(i)] = i - 1 end
  text = text:gsub("%s", "")
  local out = {}
  for i = 1, #text, 4 do
    local n, pad = 0, 0
    for k = 0, 3 do
      local c = text:byte(i + k)
      if c == nil or c == 61 then pad = pad + 1; n = n << 6
      elseif value[c] then n = (n << 6) | value[c]
      else fail("the saved chunk is not base64") end
    end
    local bytes = string.char((n >> 16) & 255, (n >> 8) & 255, n & 255)
    out[#out + 1] = bytes:sub(1, 3 - pad)
  end
  return table.concat(out)
end

-- Ardour's objects are let go before the session closes: a reference still
-- held by Lua when the interpreter ends crashes it.
local function check_and_save()
  AudioEngine:set_backend("None (Dummy)", "", "")
  local session = load_session(dir, name)
  if not session then fail("Ardour cannot open " .. dir .. "/" .. name .. ".ardour") end

  local ok = false
  for route in session:get_tracks():iter() do
    local track = route:to_track()
    local plugin = route:nth_plugin(0)
    if not track:to_midi_track():isnil() and not plugin:isnil() and plugin:name() == "Tessaravox" then
      if track:playlist():n_regions() ~= 1 then fail("the Tessaravox track holds " .. track:playlist():n_regions() .. " regions") end
      for c = 0, 1 do
        local target = session:master_out():input():audio(c):name()
        if not route:output():audio(c):connected_to(target) then fail("the Tessaravox track is not connected to " .. target) end
      end
      ok = true
    end
  end
  if not ok then fail("the session holds no MIDI track with Tessaravox") end
  session:save_state("", false, false, false, false, false)
end

check_and_save()
collectgarbage()
close_session()

local f = io.open(dir .. "/" .. name .. ".ardour", "rb")
if not f then fail("cannot read the saved session") end
local xml = f:read("a")
f:close()
local chunks = {}
for text in xml:gmatch("<chunk[^>]*>([^<]*)</chunk>") do chunks[#chunks + 1] = text end
if #chunks ~= 1 then fail("the saved session holds " .. #chunks .. " plug-in chunks") end
f = io.open(chunk_path, "wb")
if not f then fail("cannot write " .. chunk_path) end
f:write(base64_decode(chunks[1]))
f:close()
print("open_session: saved " .. dir .. "/" .. name .. ".ardour")
