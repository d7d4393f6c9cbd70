-- Run by ardour7-lua: compares two 32-bit float WAV files sample for sample.
-- Arguments: EXPECTED ACTUAL. Fails when the actual file is silent, when
-- the formats or lengths differ, or at the first differing sample.
local function fail(message)
  print("compare_wavs: " .. message)
  os.exit(1)
end

local function read_wav(path)
  local f = io.open(path, "rb")
  if not f then fail("cannot read " .. path) end
  local d = f:read("a")
  f:close()
  if #d < 12 or d:sub(1, 4) ~= "RIFF" or d:sub(9, 12) ~= "WAVE" then fail(path .. " is not a WAV file") end
  local pos, format, channels, rate, bits, data = 13
  while pos + 8 <= #d do
    local id, size = d:sub(pos, pos + 3), string.unpack("<I4", d, pos + 4)
    if id == "fmt " then
      format, channels, rate = string.unpack("<I2I2I4", d, pos + 8)
      bits = string.unpack("<I2", d, pos + 22)
    elseif id == "data" then
      data = d:sub(pos + 8, pos + 7 + size)
    end
    pos = pos + 8 + size + (size & 1)
  end
  if not data or format ~= 3 or bits ~= 32 then fail(path .. " holds no 32-bit float samples") end
  return { channels = channels, rate = rate, data = data, frames = #data // (4 * channels) }
end

local expected, actual = read_wav(arg[1]), read_wav(arg[2])
if expected.channels ~= actual.channels or expected.rate ~= actual.rate then
  fail(string.format("%s has %d channels at %d Hz, %s %d at %d Hz", arg[1], expected.channels, expected.rate,
    arg[2], actual.channels, actual.rate))
end
local peak = 0.0
for i = 1, #actual.data - 3, 4 do
  local v = math.abs(string.unpack("<f", actual.data, i))
  if v > peak then peak = v end
end
if peak < 1e-3 then fail(arg[2] .. " is silent (peak " .. peak .. ")") end
local frames = math.min(expected.frames, actual.frames)
if expected.frames ~= actual.frames then
  fail(string.format("%s has %d frames, %s %d", arg[1], expected.frames, arg[2], actual.frames))
end
local n = frames * expected.channels * 4
if expected.data:sub(1, n) ~= actual.data:sub(1, n) then
  for i = 1, n - 3, 4 do
    local a, b = string.unpack("<f", expected.data, i), string.unpack("<f", actual.data, i)
    if a ~= b then
      local sample = (i - 1) // 4
      fail(string.format("first difference at frame %d, channel %d: %.9g expected, %.9g", sample // expected.channels,
        sample % expected.channels, a, b))
    end
  end
end
print(string.format("compare_wavs: %d frames equal sample for sample (peak %.3f)", frames, peak))
