#pragma once
// An encoder of IEEE 1451.4 TEDS written from the public template tables alone (our
// fixture ieee1451-4-templates.md, copied in tests/fixtures/tdl): the fields of a case
// path are laid out bit by bit, least significant bit first, each with the value it
// must decode to. Nothing here reads the program's template library.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace library_attack {

enum class Kind { Uint, ConRes, ConRelRes, Single, Chr5, Date, Sign, Direction, Manufacturer };

// One field as the public table gives it, with the code stored and what it means.
struct PublicField {
    std::string tag;   // upper case, without "%" and suffix
    Kind kind = Kind::Uint;
    int address = 0;
    int bits = 0;
    double p1 = 0, p2 = 0;  // ConRes start/step, ConRelRes start/tolerance
    std::string unit;        // the public unit ("" none)
    std::uint64_t code = 0;  // bits stored
    float single = 0;        // Single value
    std::string text;        // Chr5 text

    double value() const
    {
        if (kind == Kind::ConRes) return p1 + static_cast<double>(code) * p2;
        if (kind == Kind::ConRelRes) return p1 * std::pow(1 + 2 * p2, static_cast<double>(code));
        if (kind == Kind::Single) return single;
        return static_cast<double>(code);
    }
};

// The bits of one TEDS and the fields written into it.
class TedsWriter {
public:
    explicit TedsWriter(int memoryBits, std::uint64_t seed = 1) : bits_(memoryBits, false), seed_(seed) {}

    int pos() const { return pos_; }
    void setPos(int p) { pos_ = p; }
    const std::vector<bool>& bits() const { return bits_; }
    std::vector<PublicField>& fields() { return fields_; }
    const std::vector<PublicField>& fields() const { return fields_; }

    // Raw bits (selectors, cases, counts).
    void put(std::uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i) {
            if (pos_ + i < static_cast<int>(bits_.size())) bits_[pos_ + i] = ((v >> i) & 1) != 0;
        }
        pos_ += n;
    }
    // A code in 0 .. 2^n - 2 (all ones is "not defined"), from the writer's sequence.
    std::uint64_t nextCode(int n)
    {
        seed_ = seed_ * 6364136223846793005ULL + 1442695040888963407ULL;
        std::uint64_t span = (n >= 63) ? ~0ULL : ((1ULL << n) - 1);
        return (seed_ >> 11) % span;
    }

    PublicField& field(const std::string& tag, Kind kind, int bits, std::uint64_t code)
    {
        PublicField f;
        f.tag = tag;
        f.kind = kind;
        f.address = pos_;
        f.bits = bits;
        f.code = code;
        put(code, bits);
        fields_.push_back(f);
        return fields_.back();
    }
    void uint(const std::string& tag, int bits, std::uint64_t code, const std::string& unit = "")
    {
        field(tag, Kind::Uint, bits, code).unit = unit;
    }
    void uint(const std::string& tag, int bits) { uint(tag, bits, nextCode(bits)); }
    void enumeration(const std::string& tag, int bits, int codes) { uint(tag, bits, nextCode(bits) % codes); }
    void conres(const std::string& tag, int bits, double start, double step, const std::string& unit)
    {
        auto& f = field(tag, Kind::ConRes, bits, nextCode(bits));
        f.p1 = start;
        f.p2 = step;
        f.unit = unit;
    }
    void conrelres(const std::string& tag, int bits, double start, double tol, const std::string& unit)
    {
        auto& f = field(tag, Kind::ConRelRes, bits, nextCode(bits));
        f.p1 = start;
        f.p2 = tol;
        f.unit = unit;
    }
    void single(const std::string& tag, float v, const std::string& unit)
    {
        std::uint32_t u = 0;
        static_assert(sizeof u == sizeof v);
        __builtin_memcpy(&u, &v, sizeof u);
        auto& f = field(tag, Kind::Single, 32, u);
        f.single = v;
        f.unit = unit;
    }
    void single(const std::string& tag, const std::string& unit)
    {
        single(tag, static_cast<float>(static_cast<double>(nextCode(16)) / 8.0 - 2000.0), unit);
    }
    void chr5(const std::string& tag, const std::string& text)
    {
        std::uint64_t code = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            std::uint64_t v = (c == ' ') ? 0 : (c >= 'A' && c <= 'Z') ? static_cast<std::uint64_t>(c - 'A' + 1) : 0;
            code |= v << (5 * i);
        }
        auto& f = field(tag, Kind::Chr5, 5 * static_cast<int>(text.size()), code);
        f.text = text;
    }
    void date(const std::string& tag) { field(tag, Kind::Date, 16, nextCode(13)); }
    void sign(const std::string& tag) { field(tag, Kind::Sign, 1, nextCode(1)); }
    void direction(const std::string& tag) { field(tag, Kind::Direction, 2, nextCode(2) % 3); }

    // The common tail of templates 25 to 39.
    void calibrationTail()
    {
        date("CALDATE");
        chr5("CALINITIALS", "ABZ");
        uint("CALPERIOD", 12, nextCode(12) % 4094 + 1, "days");
        uint("MEASID", 11, nextCode(11) % 2046 + 1);
    }

    // Seven-bit characters from pos to the end of the memory (the user text); codes past
    // the text are 127 (the stop code) when stop, else blanks.
    void userText(const std::string& text)
    {
        for (unsigned char c : text) put(c & 0x7F, 7);
    }

private:
    std::vector<bool> bits_;
    int pos_ = 0;
    std::uint64_t seed_;
    std::vector<PublicField> fields_;
};

// Basic TEDS (bits 0..63): manufacturer id, model, version letter and number, serial.
inline void basicTeds(TedsWriter& w, int manufacturerId, std::uint64_t model = 4711, int versionLetter = 3,
                      int versionNumber = 17, std::uint64_t serial = 1234567)
{
    w.setPos(0);
    w.field("MANUFACTURER", Kind::Manufacturer, 14, static_cast<std::uint64_t>(manufacturerId));
    w.uint("MODEL", 15, model);
    auto& l = w.field("VERSIONLETTER", Kind::Chr5, 5, static_cast<std::uint64_t>(versionLetter));
    l.text = std::string(1, static_cast<char>('A' + versionLetter - 1));
    w.uint("VERSIONNUMBER", 6, static_cast<std::uint64_t>(versionNumber));
    w.uint("SERIALNUMBER", 24, serial);
}

// Selector 0 and the template id (bits 64..73).
inline void templateHead(TedsWriter& w, int id)
{
    w.setPos(64);
    w.put(0, 2);
    w.put(static_cast<std::uint64_t>(id), 8);
}

// The measurand units of Table M, codes 0 .. 45, as the public table prints them.
inline const std::vector<std::string>& measurandUnits()
{
    static const std::vector<std::string> u = {
        "K", "\xB0" "C", "strain", "microstrain", "N", "lb", "kgf", "m/s2", "ga", "Nm/radian", "Nm", "oz-in",
        "Pa", "psi", "Kg", "G", "m", "mm", "in", "m/s", "mph", "fps", "radians", "degrees", "radian/s", "rpm",
        "Hz", "g/l", "kg/m3", "mole/m3", "mole/l", "m3/m3", "l/l", "kg/s", "m3/s", "m3/hr", "gpm", "cfm",
        "l/min", "RH", "%", "Volts", "Volts rms", "Amperes", "Amperes rms", "Watts"};
    return u;
}

// ---- The case paths of the public tables (addresses from bit 74 on) ---------------------

// Template 25: type 0 accelerometer / 1 force; ext 0 none / 1 programmable; tf 0 / 1.
inline void t25(TedsWriter& w, int type, int ext, int tf)
{
    templateHead(w, 25);
    w.put(static_cast<std::uint64_t>(type), 1);
    w.put(static_cast<std::uint64_t>(ext), 1);
    const std::string sensUnit = type == 0 ? "V/(m/s\xB2)" : "V/N";
    if (ext == 0) {
        w.conrelres("SENS@REF", 16, 5e-7, 0.00015, sensUnit);
        w.conrelres("TF_HP_S", 8, 0.005, 0.03, "Hz");
        if (type == 1) {
            w.conrelres("STIFFNESS", 6, 1e6, 0.10, "N/m");
            w.conrelres("MASS_BELOW", 6, 0.1, 0.10, "g");
        }
    } else {
        w.uint("DEFAULTFR", 2, w.nextCode(2) % 3);
        w.uint("PASSIVE", 1);
        w.conrelres("SENS@REF", 16, 5e-7, 0.00015, sensUnit);
        w.conrelres("SENS@REF", 16, 5e-7, 0.00015, sensUnit);
        w.conrelres("TF_HP_S", 8, 0.005, 0.03, "Hz");
        w.conrelres("TF_HP_S", 8, 0.005, 0.03, "Hz");
        if (type == 1) {
            w.conrelres("STIFFNESS", 6, 1e6, 0.10, "N/m");
            w.conrelres("MASS_BELOW", 6, 0.1, 0.10, "g");
            w.conres("PHASECORRECTION", 6, -3.2, 0.1, "degrees");
        }
    }
    w.direction("DIRECTION");
    w.conrelres("WEIGHT", 6, 0.1, 0.10, "g");
    w.sign("SIGN");
    w.put(static_cast<std::uint64_t>(tf), 1);
    if (tf == 1) {
        w.conrelres("TF_SP", 7, 10, 0.05, "Hz");
        w.conrelres("TF_KPR", 9, 100, 0.01, "Hz");
        w.conrelres("TF_KPQ", 9, 0.4, 0.01, "");
        w.conres("TF_SL", 7, -6.3, 0.1, "%/decade");
        w.conres("TEMPCOEF", 6, -0.8, 0.025, "%/\xB0" "C");
    }
    w.conrelres("REFFREQ", 8, 0.35, 0.0175, "Hz");
    w.conres("REFTEMP", 5, 15, 0.5, "\xB0" "C");
    w.calibrationTail();
}

// Template 27: ext 0/1, test gain 0/1, transfer function 0/1.
inline void t27(TedsWriter& w, int ext, int test, int tf)
{
    templateHead(w, 27);
    w.put(static_cast<std::uint64_t>(ext), 1);
    if (ext == 0) {
        w.conrelres("SENS@REF", 16, 10e-6, 0.0001, "V/Pa");
    } else {
        w.uint("DEFAULTFR", 2, w.nextCode(2) % 3);
        w.uint("PASSIVE", 1);
        w.conrelres("SENS@REF", 16, 10e-6, 0.0001, "V/Pa");
        w.conrelres("SENS@REF", 16, 10e-6, 0.0001, "V/Pa");
    }
    w.conrelres("REFFREQ", 8, 0.35, 0.0175, "Hz");
    w.enumeration("REFPOL", 2, 3);
    w.put(static_cast<std::uint64_t>(test), 1);
    if (test == 1) w.conres("TESTGAIN", 10, std::nan(""), 0.1, "dB");  // sign of the range not public
    w.enumeration("MICTYPE", 2, 4);
    w.enumeration("SIZE", 2, 4);
    w.conres("EQUI_VOL", 8, 0, 1e-9, "m\xB3");
    w.put(static_cast<std::uint64_t>(tf), 1);
    if (tf == 1) {
        w.enumeration("RESP_TYPE", 1, 2);
        w.conrelres("TF_HP_S", 7, 0.005, 0.05, "Hz");
        w.conrelres("TF_HP_S", 8, 0.05, 0.01, "Hz");
        w.conrelres("TF_SP", 7, 5, 0.02, "Hz");
        w.conrelres("TF_SZM", 8, 1, 0.0015, "");  // a ratio (printed "Hz")
        w.conrelres("TF_KPR", 8, 2000, 0.01, "Hz");
        w.conrelres("TF_KPQ", 8, 0.2, 0.01, "");
        w.conrelres("TF_KPR", 6, 10000, 0.03, "Hz");
        w.conrelres("TF_KPQ", 7, 0.2, 0.03, "");
    }
    w.sign("SIGN");
    w.calibrationTail();
}

inline void physRange(TedsWriter& w, int measurand)
{
    w.put(static_cast<std::uint64_t>(measurand), 6);
    const auto& units = measurandUnits();
    const std::string u = measurand < static_cast<int>(units.size()) ? units[static_cast<std::size_t>(measurand)] : "";
    w.single("MINPHYSVAL", u);
    w.single("MAXPHYSVAL", u);
}

// Template 30: precision 0..3, excitation 0/1.
inline void t30(TedsWriter& w, int measurand, int precision, int excitation)
{
    templateHead(w, 30);
    physRange(w, measurand);
    w.put(static_cast<std::uint64_t>(precision), 2);
    if (precision == 2) {
        w.conres("MINELECVAL", 11, -20.5, 0.02, "V");
        w.conres("MAXELECVAL", 11, -20.5, 0.02, "V");
    } else if (precision == 3) {
        w.single("MINELECVAL", "V");
        w.single("MAXELECVAL", "V");
    }
    w.enumeration("ACDCCOUPLING", 1, 2);
    w.conrelres("SENSORIMPED", 12, 1, 0.0017, "Ohm");
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.put(static_cast<std::uint64_t>(excitation), 1);
    if (excitation == 1) {
        w.conres("EXCITEAMPLNOM", 9, 0.1, 0.1, "V");
        w.conres("EXCITEAMPLMIN", 9, 0.1, 0.1, "V");
        w.conres("EXCITEAMPLMAX", 9, 0.1, 0.1, "V");
        w.enumeration("EXCITETYPE", 2, 3);
        w.conrelres("EXCITECURRENTDRAW", 6, 1e-6, 0.13, "A");
    }
    w.calibrationTail();
}

// Template 31: precision 0/1, power 0 loop / 1 external.
inline void t31(TedsWriter& w, int measurand, int precision, int power)
{
    templateHead(w, 31);
    physRange(w, measurand);
    w.put(static_cast<std::uint64_t>(precision), 1);
    if (precision == 1) {
        w.single("MINELECVAL", "A");
        w.single("MAXELECVAL", "A");
    }
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.put(static_cast<std::uint64_t>(power), 1);
    if (power == 0) {
        w.conres("LOOPSUPPLYMIN", 9, 0.1, 0.1, "V");
        w.conres("LOOPSUPPLYMAX", 9, 0.1, 0.1, "V");
    } else {
        w.conres("EXCITEAMPLNOM", 9, 0.1, 0.1, "V");
        w.conres("EXCITEAMPLMIN", 9, 0.1, 0.1, "V");
        w.conres("EXCITEAMPLMAX", 9, 0.1, 0.1, "V");
        w.enumeration("EXCITETYPE", 1, 2);
        w.conrelres("EXCITECURRENTDRAW", 6, 1e-6, 0.13, "A");
    }
    w.calibrationTail();
}

// Template 32: precision 0..3.
inline void t32(TedsWriter& w, int measurand, int precision)
{
    templateHead(w, 32);
    physRange(w, measurand);
    w.put(static_cast<std::uint64_t>(precision), 2);
    const int bits[] = {7, 10, 16};
    const double steps[] = {10, 1000, 1};
    if (precision < 3) {
        w.conres("MINELECVAL", bits[precision], 0, steps[precision], "Ohm");
        w.conres("MAXELECVAL", bits[precision], 0, steps[precision], "Ohm");
    } else {
        w.single("MINELECVAL", "Ohm");
        w.single("MAXELECVAL", "Ohm");
    }
    w.enumeration("MAPMETH", 2, 3);
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conrelres("EXCITEAMPLNOM", 8, 1e-6, 0.02, "A");
    w.conrelres("EXCITEAMPLMAX", 8, 1e-6, 0.02, "A");
    w.calibrationTail();
}

// Template 33: precision 0..2 (0 and 1 ConRes with starts that are not printed exactly:
// only their width is laid out, the value is not compared).
inline void t33(TedsWriter& w, int measurand, int precision)
{
    templateHead(w, 33);
    physRange(w, measurand);
    w.put(static_cast<std::uint64_t>(precision), 2);
    if (precision == 2) {
        w.single("MINELECVAL", "V/V");
        w.single("MAXELECVAL", "V/V");
    } else {
        const int n = precision == 0 ? 11 : 19;
        const double step = precision == 0 ? 1e-6 : 25e-9;
        w.conres("MINELECVAL", n, std::nan(""), step, "V/V");
        w.conres("MAXELECVAL", n, std::nan(""), step, "V/V");
    }
    w.enumeration("BRIDGETYPE", 2, 3);
    w.conres("SENSORIMPED", 18, 1, 0.1, "Ohm");
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conres("EXCITEAMPLNOM", 9, 0.1, 0.1, "V");
    w.conres("EXCITEAMPLMIN", 9, 0.1, 0.1, "V");
    w.conres("EXCITEAMPLMAX", 9, 0.1, 0.1, "V");
    w.calibrationTail();
}

// Template 34: measurand 0..4 (m, mm, in, rad, deg), precision 0/1.
inline void t34(TedsWriter& w, int measurand, int precision)
{
    static const char* units[] = {"m", "mm", "in", "rad", "deg"};
    templateHead(w, 34);
    w.put(static_cast<std::uint64_t>(measurand), 3);
    const std::string unit = measurand < 5 ? units[measurand] : "";  // codes 5..7 are not listed
    w.single("MINPHYSVAL", unit);
    w.single("MAXPHYSVAL", unit);
    w.put(static_cast<std::uint64_t>(precision), 1);
    if (precision == 0) {
        w.conres("MINELECVAL", 11, -1, 0.001, "V/V");
        w.conres("MAXELECVAL", 11, -1, 0.001, "V/V");
    } else {
        w.single("MINELECVAL", "V/V");
        w.single("MAXELECVAL", "V/V");
    }
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conres("EXCITEAMPLNOM", 8, 0.1, 0.1, "V");
    w.conres("EXCITEAMPLMAX", 8, 0.1, 0.1, "V");
    w.conres("EXCITEFREQNOM", 12, 1, 10, "Hz");
    w.conres("EXCITEFREQMIN", 12, 1, 10, "Hz");
    w.conres("EXCITEFREQMAX", 12, 1, 10, "Hz");
    w.conrelres("SENSORIMPED", 7, 1, 0.04, "Ohm");
    w.calibrationTail();
}

inline void t35(TedsWriter& w)
{
    templateHead(w, 35);
    w.conres("MINPHYSVAL", 14, -0.4, 50e-6, "strain");
    w.conres("MAXPHYSVAL", 14, -0.4, 50e-6, "strain");
    w.conres("MINELECVAL", 14, -1, 125e-6, "V/V");
    w.conres("MAXELECVAL", 14, -1, 125e-6, "V/V");
    w.uint("GAGETYPE", 5);
    w.conrelres("GAGEFACTOR", 13, 1.5, 0.000422, "");
    w.conres("GAGETRANSSENS", 9, -5, 0.02, "%");
    w.conres("GAGEOFFSET", 20, -50e-3, 100e-9, "V/V");
    w.conres("POISSONCOEF", 14, 0, 1e-4, "");
    w.conres("YOUNGSMOD", 14, 0, 100e6, "Pa");
    w.conrelres("GAGEAREA", 7, 0.2, 0.04, "mm\xB2");
    w.enumeration("BRIDGETYPE", 2, 3);
    w.conrelres("SENSORIMPED", 13, 50, 0.000328, "Ohm");
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conres("EXCITEAMPLNOM", 8, 0.1, 0.1, "V");
    w.conres("EXCITEAMPLMAX", 8, 0.1, 0.1, "V");
    w.calibrationTail();
}

inline void t36(TedsWriter& w)
{
    templateHead(w, 36);
    w.conres("MINPHYSVAL", 11, -273, 1, "\xB0" "C");
    w.conres("MAXPHYSVAL", 11, -273, 1, "\xB0" "C");
    w.conres("MINELECVAL", 7, -25e-3, 1e-3, "V");
    w.conres("MAXELECVAL", 7, -25e-3, 1e-3, "V");
    w.enumeration("TCTYPE", 4, 9);
    w.enumeration("CJSOURCE", 1, 2);
    w.conrelres("SENSORIMPED", 12, 1, 0.00155, "Ohm");
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.calibrationTail();
}

// Template 37: r0 case 0..3, curve case 0..7 (6: B and C steps not public, their codes
// laid out but not compared).
inline void t37(TedsWriter& w, int r0, int curve)
{
    templateHead(w, 37);
    w.conres("MINPHYSVAL", 11, -200, 1, "\xB0" "C");
    w.conres("MAXPHYSVAL", 11, -200, 1, "\xB0" "C");
    w.conres("MINELECVAL", 11, 0, 1, "Ohm");
    w.conres("MAXELECVAL", 13, 0, 1, "Ohm");
    w.put(static_cast<std::uint64_t>(r0), 2);
    if (r0 == 3) w.conrelres("RTDCOEF_R0", 20, 1, 4.5e-6, "Ohm");
    w.put(static_cast<std::uint64_t>(curve), 3);
    if (curve == 6) {
        w.conres("RTDCOEF_A", 13, 3.8e-3, 2.5e-8, "1/\xB0" "C");
        w.conres("RTDCOEF_B", 10, -6.1e-7, std::nan(""), "1/\xB0" "C\xB2");
        w.conres("RTDCOEF_C", 7, -6e-12, std::nan(""), "1/\xB0" "C\xB3");
    } else if (curve == 7) {
        w.single("RTDCOEF_A", 3.9083e-3f, "1/\xB0" "C");
        w.single("RTDCOEF_B", -5.775e-7f, "1/\xB0" "C\xB2");
        w.single("RTDCOEF_C", -4.183e-12f, "1/\xB0" "C\xB3");
    }
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conrelres("EXCITEAMPLNOM", 8, 1e-6, 0.02, "A");
    w.conrelres("EXCITEAMPLMAX", 8, 1e-6, 0.02, "A");
    w.calibrationTail();
}

inline void t38(TedsWriter& w)
{
    templateHead(w, 38);
    w.conres("MINPHYSVAL", 11, -200, 1, "\xB0" "C");
    w.conres("MAXPHYSVAL", 11, -200, 1, "\xB0" "C");
    w.conres("MINELECVAL", 18, 0, 1, "Ohm");
    w.conres("MAXELECVAL", 18, 0, 1, "Ohm");
    w.conrelres("RTDCOEF_R0", 20, 10, 6.3e-6, "Ohm");
    w.single("STEINHARTA", 1.1e-3f, "1/C");
    w.single("STEINHARTB", 2.4e-4f, "1/C");
    w.single("STEINHARTC", 9.5e-8f, "1/C");
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conrelres("EXCITEAMPLNOM", 8, 1e-6, 0.023, "A");
    w.conrelres("EXCITEAMPLMAX", 8, 1e-6, 0.023, "A");
    w.conrelres("SELFHEATING", 5, 0.25e-3, 0.074, "W/\xB0" "C");
    w.calibrationTail();
}

// Template 39: precision 0/1.
inline void t39(TedsWriter& w, int measurand, int precision)
{
    templateHead(w, 39);
    physRange(w, measurand);
    w.put(static_cast<std::uint64_t>(precision), 1);
    if (precision == 1) {
        w.conres("MINELECVAL", 20, 0, 1e-6, "V/V");
        w.conres("MAXELECVAL", 20, 0, 1e-6, "V/V");
    }
    w.conrelres("SENSORIMPED", 12, 1, 0.0017, "Ohm");
    w.conrelres("RESPTIME", 6, 1e-6, 0.15, "s");
    w.conres("EXCITEAMPLNOM", 9, 0.1, 0.1, "V");
    w.conres("EXCITEAMPLMIN", 9, 0.1, 0.1, "V");
    w.conres("EXCITEAMPLMAX", 9, 0.1, 0.1, "V");
    w.enumeration("EXCITETYPE", 2, 3);
    w.calibrationTail();
}

// The end section: selector 3, extended end selector 1, the user text.
inline void endSection(TedsWriter& w, const std::string& userText)
{
    w.put(3, 2);
    w.put(1, 1);
    w.userText(userText);
}

// ---- Calibration templates 40 to 42 after a transducer (selector 0, then the id) ------

// Template 40: domain, number of pairs (the count holds n), n pairs.
inline void calibrationTable(TedsWriter& w, int pairs)
{
    w.put(0, 2);
    w.put(40, 8);
    w.uint("CALTABLE_DOMAIN", 1);
    w.put(static_cast<std::uint64_t>(pairs), 7);
    for (int i = 0; i < pairs; ++i) {
        w.conres("CALPOINT_DOMAINVALUE", 16, 0, 0.0015, "%");
        w.conres("CALPOINT_RANGEVALUE", 21, -100, 1e-4, "%");
    }
}

// Template 41: domain, segments, per segment its start, number of terms and the terms
// (power, then coefficient).
inline void calibrationCurve(TedsWriter& w, int segments, int terms)
{
    w.put(0, 2);
    w.put(41, 8);
    w.uint("CALCURVE_DOMAIN", 1);
    w.put(static_cast<std::uint64_t>(segments), 8);
    for (int s = 0; s < segments; ++s) {
        w.conres("CALCURVE_PIECESTART", 13, 0, 0.01, "%");
        w.put(static_cast<std::uint64_t>(terms), 7);
        for (int t = 0; t < terms; ++t) {
            w.conres("CALCURVE_POWER", 7, -32, 0.5, "");
            w.single("CALCURVE_COEF", "");
        }
    }
}

// Template 42: number of pairs, n pairs of frequency and amplitude.
inline void frequencyResponse(TedsWriter& w, int pairs)
{
    w.put(0, 2);
    w.put(42, 8);
    w.put(static_cast<std::uint64_t>(pairs), 7);
    for (int i = 0; i < pairs; ++i) {
        w.conrelres("TF_TABLE_FREQ", 15, 1, 0.0002, "Hz");
        w.conres("TF_TABLE_AMPL", 21, -100, 1e-4, "%");
    }
}

} // namespace library_attack
