// The CPU through its public operations on a test bus: work RAM, the PPU and
// the controller port as in the console, and a cartridge that logs what the
// bus asks of it. Most of it is one table of cases that all start from the
// same machine state; the bus's own decoding is at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/Apu.h"
#include "core/Mapper.h"
#include "core/Memory.h"
#include "core/Ram.h"
#include "cpu/Cpu.h"
#include "input/Input.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "ppu/Ppu.h"

namespace {

// Cartridge space as a flat store that logs every access: 'r' byte read,
// 'w' byte write, 'W' word read. Without a PRG window the CPU reads its code
// through the mapper too; boards with one are in every frame-state run.
class CRecordingMapper : public CMapper {
 public:
  BYTE ReadByte(WORD addr) override { return Log('r', addr, m_store[addr]); }
  void WriteByte(WORD addr, BYTE value) override { m_store[addr] = Log('w', addr, value); }
  WORD ReadWord(WORD addr) override {
    return Log('W', addr, m_store[addr] | m_store[(addr + 1) & 0xFFFF] << 8);
  }
  int Log(char kind, int addr, int value) {
    m_log.emplace_back(kind, addr);
    return value;
  }
  std::array<BYTE, 0x10000> m_store{};
  std::vector<std::pair<char, int>> m_log;
};

struct SRig {
  // A CPU address in work RAM or in the cartridge store.
  BYTE& Mem(int addr) { return addr < 0x2000 ? ram.m_data[addr & 0x7FF] : mapper.m_store[addr]; }

  CRam ram;
  CPpu ppu{&ram, 0};
  CKeyStateKeyboard keyboard;
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CInput input{&keyboard, &settings, &messages};
  CApu apu;
  CRecordingMapper mapper;
  CMemory bus{&mapper, &ram, &ppu, &input, &apu};
  CCpu cpu{&bus, &messages};
};

// Cycles and length of each opcode on this machine, ".." outside the
// instruction set. Unlike the chip: LDX # costs 4, indexed stores cost no more
// than plain ones, crossing a page costs nothing, and a taken branch costs 4.
constexpr char kOpcodes[] =
    "7162......3252..312221....4363..2252......4262..2143......4373.."   // 00
    "6362....323252..412221..434363..2252......4262..2143......4373.."   // 20
    "6162......3252..312221..334363..2252......4262..2143......4373.."   // 40
    "6162......3252..412221..534363..2252......4262..2143......4373.."   // 60
    "..62....323232..21..21..434343..2252....424242..214321....43...."   // 80
    "226242..323232..212221..434343..2252....424242..214321..434343.."   // A0
    "2262....323252..212221..434363..2252......4262..2143......4373.."   // C0
    "2262....323252..212221..434363..2252......4262..2143......4373..";  // E0
bool Legal(int op) { return kOpcodes[2 * op] != '.'; }
int Cycles(int op) { return kOpcodes[2 * op] - '0'; }
int Length(int op) { return kOpcodes[2 * op + 1] - '0'; }

// The start state: the instruction at 0x8000 with the operand bytes 36 70
// unless a case gives its own, A 6C X D4 Y D8, status E9 (N V bit 5 D C),
// SP 01F0, and memory where every addressing mode finds a value of its own:
// zp 36: 79, zp,X 0A: EF, zp,Y 0E: BD, abs 7036: C6, abs,X 710A: 70,
// abs,Y 710E: 5F, (zp,X) 70EF: 09, (zp),Y 7079+D8: 96. The indexed modes
// wrap in page zero or cross a page; a pointer at 00FF reads 70EF.
constexpr std::pair<int, BYTE> kStart[] = {
    {0x36, 0x79},   {0x37, 0x70},   {0x0A, 0xEF},   {0x0B, 0x70},   {0x0E, 0xBD},   {0xFF, 0xEF},
    {0x100, 0x70},  {0x00, 0x71},   {0x1F1, 0x5B},  {0x1F2, 0x56},  {0x1F3, 0x84},  {0x7036, 0xC6},
    {0x7037, 0x92}, {0x710A, 0x70}, {0x710E, 0x5F}, {0x70EF, 0x09}, {0x7151, 0x96}, {0xFFFC, 0x00},
    {0xFFFD, 0x80}, {0xFFFE, 0x00}, {0xFFFF, 0x91}, {0xFFFA, 0x00}, {0xFFFB, 0x92}};

// One case per word: the instruction's bytes (an opcode alone takes 36 70), N
// for an NMI or R for a reset; after a colon, changes to the start state in
// lower case (a x y p s registers, k the code's address, mADDR=VV memory) and
// what must differ afterwards in upper case (A X Y P S, J the PC, C the cycles,
// MADDR=VV memory). Everything else must stay as it was, and cycles and length
// be as kOpcodes says.
const char kCases[] =

    // Every instruction from the start state.
    "00:PFD,S1ED,J9100,M1EE=F9,M1EF=01,M1F0=80 01:A6D,P69 05:A7D,P69 06:PE8,M36=F2 "
    "08:S1EF,M1F0=E9 09:A7E,P69 0A:AD8,PE8 0D:AEE 0E:M7036=8C 10 11:AFE 15:AEF 16:M0A=DE 18:PE8 "
    "19:A7F,P69 1D:A7C,P69 1E:PE8,M710A=E0 20:S1EE,J7036,M1EF=02,M1F0=80 21:A08,P69 24:P69 "
    "25:A68,P69 26:PE8,M36=F3 28:P5B,S1F1 29:A24,P69 2A:AD9,PE8 2C 2D:A44,P69 2E:M7036=8D "
    "30:J8038,C4 31:A04,P69 35:P69 36:M0A=DF 38 39:A4C,P69 3D:A60,P69 3E:PE8,M710A=E1 "
    "40:P5B,S1F3,J8456 41:A65,P69 45:A15,P69 46:P69,M36=3C 48:S1EF,M1F0=6C 49:A5A,P69 4A:A36,P68 "
    "4C:J7036 4D:AAA 4E:P68,M7036=63 50 51:AFA 55:A83 56:P69,M0A=77 58 59:A33,P69 5D:A1C,P69 "
    "5E:P68,M710A=38 60:S1F2,J565C 61:A76,P28 65:AE6,PE8 66:M36=BC 68:A5B,P69,S1F1 69:AA3,PE8 "
    "6A:AB6,PE8 6C:J92C6 6D:A33,P29 6E:PE8,M7036=E3 70:J8038,C4 71:A03,P29 75:A5C,P29 76:M0A=F7 "
    "78:PED 79:ACC,PE8 7D:ADD,PE8 7E:PE8,M710A=B8 81:M70EF=6C 84:M36=D8 85:M36=6C 86:M36=D4 "
    "88:YD7 8A:AD4 8C:M7036=D8 8D:M7036=6C 8E:M7036=D4 90 91:M7151=6C 94:M0A=D8 95:M0A=6C "
    "96:M0E=D4 98:AD8 99:M710E=6C 9A:S1D4 9D:M710A=6C A0:Y36,P69 A1:A09,P69 A2:X36,P69 "
    "A4:Y79,P69 A5:A79,P69 A6:X79,P69 A8:Y6C,P69 A9:A36,P69 AA:X6C,P69 AC:YC6 AD:AC6 AE:XC6 "
    "B0:J8038,C4 B1:A96 B4:YEF B5:AEF B6:XBD B8:PA9 B9:A5F,P69 BA:XF0 BC:Y70,P69 BD:A70,P69 "
    "BE:X5F,P69 C0 C1:P69 C4:P69 C5:PE8 C6:P69,M36=78 C8:YD9 C9:P69 CA:XD3 CC:P69 CD:PE8 "
    "CE:M7036=C5 D0:J8038,C4 D1:PE8 D5:P68 D6:M0A=EE D8:PE1 D9:P69 DD:PE8 DE:P69,M710A=6F E0 "
    "E1:A63,P29 E4:P69 E5:AF3,PA8 E6:P69,M36=7A E8:XD5 E9:A36,P29 EA EC:P69 ED:AA6,PE8 "
    "EE:M7036=C7 F0 F1:AD6,PE8 F5:A7D,P28 F6:M0A=F0 F8 F9:A0D,P29 FD:AFC,PA8 FE:P69,M710A=71 "
    // ADC and SBC: carry and overflow both ways; D changes nothing
    "6950:a50,p20,AA0,PE0 6901:aFF,pE0,A00,P23 6990:aD0,pA0,A60,P61 6901:a09,p28,A0A "
    "E901:a80,p21,A7F,P61 E9FF:a7F,p21,A80,PE0 E903:a05,p20,A01,P21 E942:a42,p21,A00,P23 "
    // compares: equal for each register, and the unsigned order
    "C9:a36,P6B E0:x36,P6B C0:y36,P6B C901:a80,P69 C9FF:a01,P68 C980:a00,p21,PA0 "
    // BIT, shifts with either carry, zero results, SEC and CLI
    "24F0:p22,mF0=C0,PE0 2CF070:a7F,p60,m70F0=80,PA2 0A:a81,p20,A02,P21 4A:a01,p20,A00,P23 "
    "2A:a80,p21,A01 6A:a01,p20,A00,P23 66:p20,P21,M36=3C E6:m36=FF,P6B,M36=00 "
    "CA:x00,p20,XFF,PA0 A900:A00,P6B 38:p20,P21 58:p24,P20 "
    // each branch the other way from the start state; offsets are signed
    "10:p63,J8038,C4 30:p63 50:pA3,J8038,C4 70:pA3 90:pE2,J8038,C4 B0:pE2 D0:pE3 "
    "F0:p22,J8038,C4 D080:J7F82,C4 D0FE:J8000,C4 "
    // zero-page indexing wraps, absolute indexing wraps past $FFFF, pointers at $FF
    "B680:y8E,XBD 9580:x8A,M0A=6C BDF0FF:x46,A79,P69 A1FE:x01,A09,P69 B1FF:y00,A09,P69 "
    // indirect jumps through a pointer at the end of a page
    "6CFF70:m70FF=34,m7100=12,m7000=56,J1234 6CFF02:m2FF=34,m300=12,m200=56,J1234 "
    // operands in RAM: one word read, even across $1FFF-$2000
    "4C34:k1FFE,m00=92,J9234 2034:k1FFE,m00=92,S1EE,J9234,M1F0=20 "
    // the stack: a full address that leaves page one both ways
    "48:s100,SFF,M100=6C 68:s1FF,m200=5C,A5C,P69,S200 60:sFE,mFF=34,m100=12,S100,J1235 "
    "9A:xFF,S1FF 40:s7000,m7001=24,m7002=56,m7003=84,P24,S7003,J8456 "
    // the status byte as PHP pushes it and PLP loads it, B and bit 5 included
    "08:p0F,S1EF,M1F0=0F 08:p33,S1EF,M1F0=33 08:p55,S1EF,M1F0=55 08:pF0,S1EF,M1F0=F0 "
    "28:m1F1=0F,P0F,S1F1 28:m1F1=33,P33,S1F1 28:m1F1=55,P55,S1F1 28:m1F1=F0,PF0,S1F1 "
    // Reset; the NMI pushes the PC and the status as stored, and leaves I alone.
    "R:k8123,a55,x55,y55,pDF,s123,A00,X00,Y00,P20,S1FF,J8000 "
    "N:k8123,pFD,J9200,C7,S1ED,M1EE=FD,M1EF=23,M1F0=81";

void RunCase(const std::string& text) {
  SCOPED_TRACE(text);
  SRig r;
  for (const auto& [addr, value] : kStart) r.Mem(addr) = value;
  const size_t colon = std::min(text.find(':'), text.size());
  std::vector<BYTE> code;
  for (size_t i = 0; std::isxdigit(text[0]) && i < colon; i += 2)
    code.push_back(static_cast<BYTE>(std::stoi(text.substr(i, 2), 0, 16)));
  if (code.size() == 1) code.insert(code.end(), {0x36, 0x70});
  std::map<char, int> named;
  std::map<int, int> want;
  std::istringstream fields(text.substr(std::min(colon + 1, text.size())));
  for (std::string f; std::getline(fields, f, ',');) {
    const size_t eq = f.find('=');
    const int n = std::stoi(f.substr(1, eq - 1), 0, 16);
    if (eq == std::string::npos) named[f[0]] = n;
    if (f[0] == 'm') r.Mem(n) = static_cast<BYTE>(std::stoi(f.substr(eq + 1), 0, 16));
    if (f[0] == 'M') want[n] = std::stoi(f.substr(eq + 1), 0, 16);
  }
  auto get = [&named](char c, int otherwise) { return named.count(c) ? named[c] : otherwise; };
  const int k = get('k', 0x8000), op = code.empty() ? -1 : code[0];
  for (size_t i = 0; i < code.size(); ++i) r.Mem(k + static_cast<int>(i)) = code[i];
  const bool bBad = op >= 0 && !Legal(op);
  const int len = op < 0 ? 0 : bBad ? 1 : Length(op), start[5] = {0x6C, 0xD4, 0xD8, 0xE9, 0x1F0};
  int in[5], out[5];
  for (int i = 0; i < 5; ++i) in[i] = get("axyps"[i], start[i]);
  for (int i = 0; i < 5; ++i) out[i] = get("AXYPS"[i], in[i]);
  r.cpu.m_PC = static_cast<WORD>(k);
  r.cpu.m_A = static_cast<BYTE>(in[0]);
  r.cpu.m_X = static_cast<BYTE>(in[1]);
  r.cpu.m_Y = static_cast<BYTE>(in[2]);
  r.cpu.m_P = static_cast<BYTE>(in[3]);
  r.cpu.UnpackStatus();
  r.cpu.m_SP = static_cast<WORD>(in[4]);
  const CRam ram = r.ram;
  const auto store = r.mapper.m_store;
  r.mapper.m_log.clear();

  int nCycles = 100;
  bool bOk = true;
  if (text[0] == 'N') r.cpu.Nmi(nCycles);
  if (text[0] == 'R') r.cpu.Reset();
  if (op >= 0) bOk = r.cpu.Execute(nCycles);

  EXPECT_EQ(bOk, !bBad);
  EXPECT_EQ(nCycles - 100, get('C', op < 0 || bBad ? 0 : Cycles(op)));
  EXPECT_EQ(r.cpu.m_PC, get('J', (k + len) & 0xFFFF));
  const int got[5] = {r.cpu.m_A, r.cpu.m_X, r.cpu.m_Y, r.cpu.StatusByte(), r.cpu.m_SP};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(got[i], out[i]) << "AXYPS"[i];
  for (int a = 0; a < 0x10000; a = a == 0x7FF ? 0x6000 : a + 1) {
    const int before = a < 0x800 ? ram.m_data[a] : store[a];
    const int after = want.count(a) ? want[a] : before;
    if (r.Mem(a) != after) ADD_FAILURE() << std::hex << "memory at " << a << ": " << +r.Mem(a);
  }
  std::vector<std::string> messages;
  if (bBad) messages = {"Bad Opcode Encountered..."};
  if (op == 0xF8) messages = {"SED!"};
  if (op == 0x6C && code[1] == 0xFF) messages = {"JMP ($xxFF)"};
  EXPECT_EQ(r.messages.Messages(), messages);

  // Nothing is read or written twice: a second read of a device register
  // would lose what the first one cleared.
  std::set<std::pair<char, int>> seen;
  for (const auto& access : r.mapper.m_log)
    EXPECT_TRUE(seen.insert(access).second)
        << access.first << " twice at " << std::hex << access.second;
}

TEST(CpuTest, EveryInstructionFromOneStartStateAndEveryOtherOpcodeRejected) {
  std::istringstream cases(kCases);
  std::set<int> covered;
  for (std::string text; cases >> text;) {
    if (std::isxdigit(text[0])) covered.insert(std::stoi(text.substr(0, 2), 0, 16));
    RunCase(text);
  }
  for (int op = 0; op < 256; ++op) {
    char text[3];
    std::snprintf(text, sizeof(text), "%02X", op);
    if (!Legal(op)) RunCase(text);
    EXPECT_TRUE(covered.count(op) || !Legal(op)) << op;
  }
  EXPECT_EQ(std::count(kOpcodes, kOpcodes + 512, '.'), 2 * (256 - 151));
}

TEST(Bus, DecodesRamPpuSoundPortAndCartridgeAndPeeksChangeNothing) {
  SRig rig;
  rig.bus.WriteByte(0x1800, 0x42);  // RAM, mirrored four times
  EXPECT_EQ(rig.bus.ReadByte(0x0000), 0x42);
  rig.bus.WriteByte(0x3456, 0x21);  // 0x2006: the registers repeat every 8 bytes
  rig.bus.WriteByte(0x2006, 0x08);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2108);
  rig.bus.WriteByte(0x4015, 0x55);  // sound: nothing to read back
  EXPECT_EQ(rig.bus.ReadByte(0x4015), 0);
  rig.keyboard.Press(44);
  rig.bus.WriteByte(0x4017, 1);  // either port address strobes
  rig.bus.WriteByte(0x4016, 0);
  EXPECT_EQ(rig.bus.ReadByte(0x4016), 0x41);
  EXPECT_TRUE(rig.mapper.m_log.empty()) << "nothing below 0x6000 reaches the cartridge";
  rig.ram.m_data[0x7FF] = 0x99;
  rig.bus.WriteByte(0xFFFD, 0x12);
  EXPECT_EQ(rig.bus.ReadWord(0xFFFC), 0x1200);
  EXPECT_EQ(rig.mapper.m_log, (std::vector<std::pair<char, int>>{{'w', 0xFFFD}, {'W', 0xFFFC}}))
      << "a word is one mapper access, not two byte reads";

  // Word reads and peeks of a device register have no side effects.
  rig.ram.m_data[0x000] = 0x77;
  EXPECT_EQ(rig.bus.ReadWord(0x1FFF), 0x7799) << "the high byte comes from the store's start";
  rig.ppu.m_Status = 0x80;
  for (WORD a : {0x2002, 0x4016}) {
    EXPECT_EQ(rig.bus.ReadWord(a), 0);
    EXPECT_EQ(rig.bus.PeekByte(a), 0);
  }
  EXPECT_EQ(rig.ppu.m_Status, 0x80);
  EXPECT_EQ(rig.input.m_readCount[0], 1);
  EXPECT_EQ(rig.bus.ReadByte(0x2FFA), 0x80);  // 0x2002, which clears bit 7
  EXPECT_EQ(rig.ppu.m_Status, 0);
}

}  // namespace
