#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into corpus/<target>/. Run again after
changing an input format; the files are kept in the repository."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RECORD, USERS = 1228, 1128


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def short_string(n, text):
    text = text[:n]
    return bytes([len(text)]) + text + bytes(n - len(text))


def sample_record():
    """Start-up like numbers, a PIN, numbers and texts, every length within its field."""
    r = bytearray(RECORD)
    r[0:8] = b"\x01" * 8
    r[8:10] = b"\x01\x01"
    r[10], r[11], r[14], r[15] = 1, 1, 10, 1
    r[16:25] = b"\x01" * 9
    r[33:38] = short_string(4, b"1234")
    r[101:109] = short_string(7, b"4321")
    r[109:125] = short_string(15, b"+48601000310")
    for u in range(4):
        o = 125 + 16 * u
        r[o:o + 16] = short_string(15, b"+4860012345%d" % u)
    for i in range(16):
        o = 189 + 37 * i
        r[o:o + 37] = short_string(36, (b"Alarm wejscie %d *1 OK*1 \"q\"" % i) + bytes([0xB9, 0xEA]))
    for i in range(12):
        o = 781 + 37 * i
        r[o:o + 37] = short_string(36, b"x" * 36)
    r[1225:1228] = b"\x01\x02\x03"
    return bytes(r)


def sample_users():
    u = bytearray()
    for i in range(4):
        u += short_string(30, b"Osoba %d" % i) + short_string(250, b"uwagi\r\nlinia 2")
    return bytes(u)


def settings_seeds():
    content = sample_record() + sample_users()
    zero = bytes(RECORD + USERS)
    bad_length = bytearray(content)
    bad_length[109] = 200  # csms length past its field
    for target, compress in (("fuzz_settings_file", True), ("fuzz_settings_content", False)):
        wrap = (lambda c: zlib.compress(c, 6)) if compress else (lambda c: c)
        put(target, "sample", wrap(content))
        put(target, "zeros", wrap(zero))
        put(target, "short", wrap(content[:2000]))
        put(target, "longer", wrap(content + b"extra bytes after the content"))
        put(target, "bad_length", wrap(bytes(bad_length)))
    put("fuzz_settings_file", "not_zlib", b"pliki zvn: this is a text file\n")
    put("fuzz_settings_file", "cut_stream", zlib.compress(content, 6)[:300])
    put("fuzz_settings_file", "level9", zlib.compress(content, 9))


def conversion_seeds():
    image = bytearray(2048)
    image[0:2] = b"\xff\xff"
    image[98:105] = b'"1234"\x00'
    image[105:120] = b'"+48601000310"'[:15]
    image[120:135] = b'"' + b"9" * 14  # no closing quote within the slot
    image[180:216] = b"y" * 36           # a text filling its slot, no zero after it
    image[1190:1193] = b"\x05\x06\x07"
    image[1500:1510] = b"\xaa" * 10      # past the content: must not be read
    put("fuzz_conversion", "image", b"\x00" + bytes(image))
    put("fuzz_conversion", "record", b"\x01" + sample_record())
    damaged = bytearray(sample_record())
    damaged[109] = 255                    # csms length past its field
    damaged[189] = 250                    # a text length past its field
    put("fuzz_conversion", "record_damaged_lengths", b"\x01" + bytes(damaged))


def piece(data):
    """One step of the link target: a short piece, or a long one."""
    data = bytes(data)
    if 1 <= len(data) <= 0xF0:
        return bytes([len(data) - 1]) + data
    n = len(data) - 1
    return bytes([0xF0, n >> 8, n & 0xFF]) + data


def link_seeds():
    ok = piece(b"OK*1")
    readback = b"\x00" + bytes(range(256)) * 6 + bytes(1700 - 1536) + b"*1"
    put("fuzz_link_answers", "program_full", b"\x01" + ok * 28)
    put("fuzz_link_answers", "program_split_start", b"\x01" + piece(b"OK") + piece(b"*1") + ok * 26 + piece(b"*1") + ok)
    put("fuzz_link_answers", "program_star_one_only", b"\x02\x05" + piece(b"*1") * 3 + b"\xf1")
    put("fuzz_link_answers", "finish_star_one", b"\x03" + piece(b"*1") + piece(b"OK*1"))
    put("fuzz_link_answers", "readback_whole", b"\x04" + piece(readback))
    put("fuzz_link_answers", "readback_pieces", b"\x04" + b"".join(piece(readback[i:i + 200]) for i in range(0, len(readback), 200)))
    put("fuzz_link_answers", "readback_short", b"\x04" + piece(b"\x00abc*1") + b"\xf1")
    put("fuzz_link_answers", "readback_split_end", b"\x04" + piece(readback[:-1]) + piece(b"1"))
    put("fuzz_link_answers", "serial", b"\x05" + piece(b"A123*1OK*1"))
    put("fuzz_link_answers", "serial_and_readback", b"\x06" + piece(readback[:-2] + b"*1OK*1"))
    put("fuzz_link_answers", "serial_during_program", b"\x07" + piece(b"A1*1OK*1") + ok * 3)
    put("fuzz_link_answers", "long_noise", b"\x01" + piece(bytes(range(1, 256)) * 8) + b"\xf2\xf5" + ok)
    put("fuzz_link_answers", "program_during_readback", b"\x04\xf5" + piece(readback) + ok * 28)
    put("fuzz_link_answers", "answer_after_stale_star_one", b"\x01" + piece(b"late*1OK*1") + ok * 27)
    put("fuzz_link_answers", "buttons", b"\x00\xf3" + piece(b"x*1") + b"\xf4\xf5" + ok + b"\xf1")


def framer_seeds():
    # flags, start length + start, stop length + stop, size, custom start, custom stop, pieces
    def header(flags, start, stop, size=2, cstart=1, cstop=2):
        return bytes([flags, len(start)]) + start + bytes([len(stop)]) + stop + bytes([size, cstart, cstop])

    def pieces(*ps):
        return b"".join(bytes([len(p) - 1]) + p for p in ps)

    put("fuzz_framer", "program_config", header(0x20, b"", b"*1", cstop=2) + pieces(b"OK", b"*1", b"A*1B*1C"))
    put("fuzz_framer", "start_stop", header(0, b"S", b"E") + pieces(b"xxSabE"))
    put("fuzz_framer", "size_rule", header(0, b"", b"*1", size=6) + pieces(b"abcdef"))
    put("fuzz_framer", "case_fold", header(1, b"", b"*ok") + pieces(b"x*OK"))
    put("fuzz_framer", "discarding_stop", header(0x20, b"", b"*1", cstop=0) + pieces(b"abc", b"d*1e"))
    put("fuzz_framer", "small_limit", header(0x06, b"", b"*1") + pieces(b"abcdefgh" * 4))


def json_document(overrides=None):
    """A settings document every key of which is within what the window holds; the
    import takes keys in any order."""
    settings = {"pin": "1234", "csms": "+48601000310", "callingTimer": 20, "callTimer": 5,
                "clipVerif": "01000001", "clipNotVerif": "00000000", "pinMod": "ab12",
                "flags": "00100011", "smsConfirmTimer": 10, "smsAttempts": 3, "testOkr": 24,
                "exitTime": 1, "entryTime": 2, "alarmTime": 255}
    for u in range(1, 5):
        settings["nrUser[%d]" % u] = "+4860012345%d" % u
        settings["osoba[%d]" % u] = "Osoba %d \u017c\u00f3\u0142w" % u
        settings["uwagi[%d]" % u] = "uwagi\\r\\nlinia 2"
    for k in range(1, 9):
        settings["timerPod[%d]" % k] = k
        settings["timerTorBuf[%d]" % k] = 255
        for r in (1, 2):
            settings["numberWeRe[%d][%d]" % (k, r)] = "10000000"
            settings["workWeRe[%d][%d]" % (k, r)] = "00000101"
            settings["smsWeRe[%d][%d]" % (k, r)] = "Alarm wej\u015bcie %d \\\"%d\\\"" % (k, r)
    for k in range(1, 7):
        for r in (1, 2):
            settings["numberSpecWeRe[%d][%d]" % (k, r)] = "00001001"
            settings["workSpecWeRe[%d][%d]" % (k, r)] = "00000000"
            settings["smsSpecWeRe[%d][%d]" % (k, r)] = "x" * 36
    for n in (1, 2):
        settings["zalWyCode[%d]" % n] = "Z%d" % n
        settings["wylWyCode[%d]" % n] = "W%d" % n
        settings["wyOffTimer[%d]" % n] = 60
    settings.update(overrides or {})
    lines = []
    for key, value in settings.items():
        text = '"%s"' % value if isinstance(value, str) else str(value)
        lines.append('        "%s": %s' % (key, text))
    return ('{\n    "format": "tarnik-settings",\n    "version": 1,\n    "settings": {\n' +
            ",\n".join(lines) + "\n    }\n}\n").encode("utf-8")


def json_seeds():
    put("fuzz_settings_json", "sound", json_document())
    put("fuzz_settings_json", "out_of_range", json_document({"callingTimer": 250, "smsAttempts": 0}))
    put("fuzz_settings_json", "foreign_bits", json_document({"flags": "11000000", "clipVerif": "00000101"}))
    put("fuzz_settings_json", "long_pin", json_document({"pin": "1234567"}))
    put("fuzz_settings_json", "code_of_option_off", json_document({"flags": "00000000"}))
    put("fuzz_settings_json", "twice", json_document().replace(b'"pin": "1234",', b'"pin": "1234",\n        "pin": "1",'))
    put("fuzz_settings_json", "cut", json_document()[:700])
    # Found by the fuzzer: a key holding an escaped line break, which a refusal must show
    # escaped (with a repeated key and a bit set of foreign letters beside it).
    put("fuzz_settings_json", "key_with_escaped_newline", json_document()
        .replace(b'"pin": "1234",', b'"pin": "1234",\n        "pin": "1",')
        .replace(b'"workWeRe[7][2]": "00000101"', b'"workWeRe[7][2]": "0000smsWeRe0101"')
        .replace(b'"smsSpecWeRe[3][2]"', b'"smsSpecWr\\neRe[3][2]"'))
    put("fuzz_settings_json", "escapes", b'{"format": "tarnik-settings", "version": 1, "settings": {"pin": "\\ud83d\\ude00\\u0000", "x": [1, -0.5e3, true, null, {}]}}')


settings_seeds()
conversion_seeds()
json_seeds()
link_seeds()
framer_seeds()
