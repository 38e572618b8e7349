#!/usr/bin/env python3
"""Generates the offline demo feed: a whazzup snapshot of each network, plain
and gzipped, with invented pilots and controllers between real airports and
on real sectors of the shipped data, and the same traffic in the networks'
JSON forms.

    python3 tools/make_demo_feed.py   (from the repository root)

Writes demo/ivao/whazzup.txt(.gz), demo/vatsim/whazzup.txt(.gz), IVAO's v2
JSON demo/ivao/whazzup.json, VATSIM's v3 JSON demo/vatsim/vatsim-data.json
with its demo/vatsim/transceivers-data.json, and the template of the VATSIM
status.json, demo/status.json.in. The build fills the program folder's
place into the templates. Names and member ids are invented; the output is
the same on every run (fixed random seed and time stamp).
"""
import gzip
import json
import math
import os
import random

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
STAMP = "20261208143000"  # the snapshot's UPDATE time, yyyymmddhhmmss

HUBS = """EDDF EDDM EDDH EDDL EDDB EGLL EGKK EGCC EHAM EBBR LFPG LFPO LFMN LFLL LEMD LEBL
LEPA LPPT LIRF LIMC LSZH LSGG LOWW LKPR EPWA LHBP LROP LBSF LGAV LTFM EKCH ENGM ESSA EFHK
EIDW BIKF UUEE ULLI OMDB OTHH OERK LLBG HECA GMMN FAOR DNMM HKJK VIDP VABB VTBS WSSS WMKK
RPLL VHHH RJTT RJAA RKSI ZBAA ZSPD YSSY YMML NZAA KJFK KEWR KBOS KORD KATL KDFW KDEN KLAX
KSFO KSEA KMIA KIAH KPHX KLAS KMSP KDTW CYYZ CYUL CYVR MMMX MPTO SKBO SPJC SCEL SAEZ SBGR
SBGL""".split()

FIRST = """Alex Sam Robin Kim Jordan Taylor Morgan Casey Jamie Riley Lee Noa Mika Ari Eli
Toni Chris Dani Luca Maja Nils Ida Timo Lena Jonas Mira Paul Anna Hugo Clara Ivo Sara""".split()
LAST = """Brandt Keller Novak Silva Moreau Rossi Varga Holm Lind Berg Costa Weber Marsh
Quinn Hale Frost Adler Vogel Rask Fontaine Herrera Kovacs Nagy Dahl Engel Lucero""".split()
# Aircraft type: (longest route in nm, cruise level in feet, cruise speed in knots).
TYPES = {"A320": (3000, 37000, 450), "A321": (3200, 36000, 450), "A319": (3000, 37000, 445),
         "B738": (3000, 37000, 455), "B737": (2800, 35000, 450), "B77W": (7500, 35000, 490),
         "B789": (7500, 39000, 490), "A359": (8000, 39000, 488), "A333": (6000, 38000, 470),
         "E190": (1800, 35000, 430), "CRJ9": (1500, 33000, 420), "DH8D": (900, 25000, 300),
         "AT76": (700, 22000, 275), "B744": (7000, 34000, 490), "A388": (8000, 37000, 490),
         "C172": (350, 7500, 110), "PA28": (350, 6500, 115), "BE58": (700, 11000, 180),
         "C208": (600, 10000, 170)}
SOFTWARE = [("IvAp", "2.0.2"), ("Altitude", "1.9.3")]


def read_airports():
    airports = {}
    with open(os.path.join(ROOT, "data", "airports.dat"), encoding="cp1252") as f:
        for line in f:
            p = line.rstrip("\r\n").split(":")
            if len(p) >= 6:
                airports.setdefault(p[0], (float(p[4]), float(p[5])))
    return airports


def read_sectors():
    path = os.path.join(ROOT, "data", "firlist.dat")
    if not os.path.exists(path):
        return []
    ids = []
    with open(path, encoding="cp1252") as f:
        for line in f:
            p = line.rstrip("\r\n").split(":")
            if len(p) >= 6 and "_" not in p[0] and len(p[0]) == 4:
                ids.append(p[0])
    return ids


def great_circle(a, b, f):
    """The point a fraction f of the way from a to b, and the course there."""
    la1, lo1, la2, lo2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    d = 2 * math.asin(math.sqrt(math.sin((la2 - la1) / 2) ** 2 +
                                math.cos(la1) * math.cos(la2) * math.sin((lo2 - lo1) / 2) ** 2))
    if d == 0:
        return a[0], a[1], 0, 0
    s1, s2 = math.sin((1 - f) * d) / math.sin(d), math.sin(f * d) / math.sin(d)
    x = s1 * math.cos(la1) * math.cos(lo1) + s2 * math.cos(la2) * math.cos(lo2)
    y = s1 * math.cos(la1) * math.sin(lo1) + s2 * math.cos(la2) * math.sin(lo2)
    z = s1 * math.sin(la1) + s2 * math.sin(la2)
    lat, lon = math.atan2(z, math.hypot(x, y)), math.atan2(y, x)
    course = math.degrees(math.atan2(math.sin(lo2 - lon) * math.cos(la2),
                                     math.cos(lat) * math.sin(la2) -
                                     math.sin(lat) * math.cos(la2) * math.cos(lo2 - lon))) % 360
    return math.degrees(lat), math.degrees(lon), course, d * 3440


def name(rng):
    return "%s %s" % (rng.choice(FIRST), rng.choice(LAST))


def logon(rng):
    minutes = rng.randint(5, 300)
    h, m = 14 - (minutes + 30) // 60 + 1, (30 - minutes) % 60
    return "20261208%02d%02d00" % (max(h, 0), m)


def pilot_fields(rng, net, callsign, member, hubs, airports):
    actype = rng.choice(sorted(TYPES))
    reach, level_ft, speed = TYPES[actype]
    dep = rng.choice(hubs)
    a = airports[dep]
    near = [h for h in hubs if h != dep and 40 < great_circle(a, airports[h], 1)[3] <= reach]
    if not near:  # a short hop to any airport close enough
        near = [c for c, pos in airports.items() if abs(pos[0] - a[0]) < 2 and abs(pos[1] - a[1]) < 2 and c != dep]
    dest = rng.choice(near)
    b = airports[dest]
    frac = rng.random()
    lat, lon, course, total = great_circle(a, b, frac)
    kind = rng.random()
    if kind < 0.08:  # boarding at the gate
        lat, lon, alt, gs, heading = a[0] + 0.003, a[1] + 0.002, 300, 0, rng.randint(0, 359)
    elif kind < 0.12:  # parked at the destination
        lat, lon, alt, gs, heading = b[0] - 0.002, b[1] + 0.003, 300, 0, rng.randint(0, 359)
    else:
        # Climb and descent take about 3 nm per 1000 ft.
        ramp = level_ft / 1000 * 3
        climb = min(frac * total / ramp, (1 - frac) * total / ramp, 1)
        alt = int(level_ft * climb / 100) * 100 + rng.randint(-40, 40)
        gs = int(speed * (0.45 + 0.55 * climb) + rng.randint(-15, 15))
        heading = int(course + rng.randint(-4, 4)) % 360
    cruise = "N%04d" % speed
    level = "F%03d" % (level_ft // 100)
    hours, minutes = divmod(int(total / 7.5), 60)
    route = "DCT"
    f = [""] * (49 if net == "ivao" else 42)
    f[0], f[1], f[3] = callsign, member, "PILOT"
    home = rng.choice(hubs)
    f[2] = name(rng) + (" " + home if net == "ivao" else "")
    f[5], f[6], f[7], f[8] = "%.5f" % lat, "%.5f" % lon, str(max(alt, 0)), str(gs)
    f[9] = ("1/%s/M-SDFGRWY/S" % actype) if net == "ivao" else ("H/%s/L" % actype if actype in ("B744", "A388") else actype)
    f[10], f[11], f[12], f[13] = cruise, dep, level, dest
    f[14] = "EU%d" % rng.randint(1, 9) if net == "ivao" else "GERMANY"
    f[15], f[16], f[17] = "B" if net == "ivao" else "100", str(rng.randint(2, 6)), "%04o" % rng.randint(0, 4095)
    f[18], f[19], f[20] = "0", "50", "0"
    f[21], f[22], f[23] = rng.choice("IIIIV"), "%04d" % rng.randint(0, 2359), "0"
    f[24], f[25], f[26], f[27] = str(hours), str(minutes), str(hours + 1), "30"
    f[28], f[29], f[30] = rng.choice(hubs), "RMK/TCAS", route
    f[37] = logon(rng)
    if net == "ivao":
        f[38], f[39] = rng.choice(SOFTWARE)
        f[40], f[41], f[43], f[44], f[45] = "2", str(rng.randint(2, 8)), rng.choice("SSSNGX"), str(rng.randint(1, 300)), str(heading)
        f[46] = "1" if gs == 0 else "0"
    else:
        f[38], f[39], f[40] = str(heading), "29.92", "1013"
    return ":".join(f)


def atc_fields(rng, net, callsign, member, lat, lon, facility, freq, atis):
    f = [""] * (47 if net == "ivao" else 42)
    f[0], f[1], f[2], f[3], f[4] = callsign, member, name(rng), "ATC", freq
    f[5], f[6], f[7], f[8] = "%.5f" % lat, "%.5f" % lon, "0", "0"
    f[14] = "EU%d" % rng.randint(1, 9) if net == "ivao" else "GERMANY"
    f[15], f[16], f[18], f[19] = "B", str(rng.randint(2, 10) if net == "ivao" else rng.randint(2, 8)), str(facility), "150"
    f[35], f[37] = atis, logon(rng)
    if net == "ivao":
        f[38], f[39], f[40], f[41] = "IvAc", "1.2.6", "2", str(rng.randint(2, 7))
    return ":".join(f)


def snapshot(net, seed, pilots, airports, sectors):
    rng = random.Random(seed)
    hubs = [h for h in HUBS if h in airports]
    lines = []
    used = set()
    id_base = 600000 if net == "ivao" else 1600000
    def member():
        while True:
            m = str(id_base + rng.randint(0, 99999))
            if m not in used:
                used.add(m)
                return m
    prefixes = ["DLH", "BAW", "AFR", "KLM", "UAL", "AAL", "DAL", "SWR", "AUA", "IBE", "RYR", "EZY", "UAE", "QTR", "SIA", "ACA"]
    calls = set()
    for _ in range(pilots):
        while True:
            cs = "%s%d" % (rng.choice(prefixes), rng.randint(1, 9999))
            if cs not in calls:
                calls.add(cs)
                break
        lines.append(pilot_fields(rng, net, cs, member(), hubs, airports))
    staffed = rng.sample(hubs, 22)
    for code in staffed:
        lat, lon = airports[code]
        for suffix, fac, freq in (("TWR", 4, "118.100"), ("APP", 5, "120.800"), ("GND", 3, "121.900"), ("DEL", 2 if False else 3, "121.700")):
            if rng.random() < (0.8 if suffix == "TWR" else 0.45):
                atis = "%s %s^\xa7Welcome, this is demo traffic" % (code, suffix)
                lines.append(atc_fields(rng, net, "%s_%s" % (code, suffix), member(), lat + rng.uniform(-0.01, 0.01),
                                        lon + rng.uniform(-0.01, 0.01), fac, freq, atis))
        if rng.random() < 0.6:
            lines.append(atc_fields(rng, net, code + "_ATIS", member(), lat, lon, 4, "127.250",
                                    "%s information A^\xa7Runway in use, demo only" % code))
    for sector in rng.sample(sectors, min(14, len(sectors))):
        lines.append(atc_fields(rng, net, sector + "_CTR", member(), 0.0, 0.0, 6, "132.600",
                                "%s control, demo traffic" % sector))
    for _ in range(12):
        code = rng.choice(hubs)
        lat, lon = airports[code]
        lines.append(atc_fields(rng, net, "%s_OBS" % rng.choice(LAST).upper()[:5], member(), lat, lon, 0, "199.998", ""))
    return lines


def whazzup_text(lines):
    header = ["!GENERAL", "VERSION = 1", "RELOAD = 1", "UPDATE = " + STAMP,
              "CONNECTED CLIENTS = %d" % len(lines), "!CLIENTS"]
    text = "\r\n".join(header + lines + ["!SERVERS", "!AIRPORTS", ""])
    return text.encode("cp1252", errors="replace")


def iso(stamp):
    """yyyymmddhhmmss as the JSON feeds write times."""
    s = stamp
    return "%s-%s-%sT%s:%s:%sZ" % (s[0:4], s[4:6], s[6:8], s[8:10], s[10:12], s[12:14])


def hhmm_seconds(text):
    return int(text[:2]) * 3600 + int(text[2:4]) * 60


def atis_lines(text):
    return [t for t in text.split("^\xa7") if t]


def vatsim_json(lines):
    """VATSIM's v3 feed and its transceivers for the same clients."""
    pilots, controllers, atis, transceivers = [], [], [], []
    for line in lines:
        f = line.split(":")
        if f[3] == "PILOT":
            actype = f[9].split("/")[1] if f[9][1:2] == "/" else f[9].split("/")[0]
            pilots.append({
                "cid": int(f[1]), "name": f[2], "callsign": f[0], "server": f[14],
                "pilot_rating": int(f[16]), "military_rating": 0,
                "latitude": float(f[5]), "longitude": float(f[6]), "altitude": int(f[7]),
                "groundspeed": int(f[8]), "transponder": f[17], "heading": int(f[38]),
                "qnh_i_hg": 29.92, "qnh_mb": 1013,
                "flight_plan": {
                    "flight_rules": f[21], "aircraft": f[9], "aircraft_faa": actype, "aircraft_short": actype,
                    "departure": f[11], "arrival": f[13], "alternate": f[28], "cruise_tas": f[10].lstrip("N0"),
                    "altitude": str(int(f[12][1:]) * 100), "deptime": f[22],
                    "enroute_time": "%02d%02d" % (int(f[24]), int(f[25])), "fuel_time": "%02d%02d" % (int(f[26]), int(f[27])),
                    "remarks": f[29], "route": f[30], "revision_id": 1, "assigned_transponder": "0000"},
                "logon_time": iso(f[37]), "last_updated": iso(STAMP)})
            continue
        facility = {"OBS": 0, "DEL": 2, "GND": 3, "TWR": 4, "APP": 5, "CTR": 6}.get(f[0].split("_")[-1], 4)
        record = {"cid": int(f[1]), "name": f[2], "callsign": f[0], "frequency": f[4], "facility": facility,
                  "rating": int(f[16]), "server": f[14], "visual_range": int(f[19]),
                  "text_atis": atis_lines(f[35]) or None, "last_updated": iso(STAMP), "logon_time": iso(f[37])}
        if f[0].endswith("_ATIS"):
            record["atis_code"] = "A"
            atis.append(record)
        else:
            controllers.append(record)
        lat, lon = float(f[5]), float(f[6])
        if lat or lon:
            transceivers.append({"callsign": f[0], "transceivers": [
                {"id": 0, "frequency": int(round(float(f[4]) * 1e6)), "latDeg": lat, "lonDeg": lon,
                 "heightMslM": 30.0, "heightAglM": 10.0}]})
    feed = {"general": {"version": 3, "reload": 1, "update": STAMP, "update_timestamp": iso(STAMP),
                        "connected_clients": len(lines), "unique_users": len(lines)},
            "pilots": pilots, "controllers": controllers, "atis": atis, "servers": [], "prefiles": []}
    return json.dumps(feed, indent=2), json.dumps(transceivers)


def ivao_json(lines):
    """IVAO's v2 whazzup for the same clients."""
    pilots, atcs, observers = [], [], []
    for n, line in enumerate(lines):
        f = line.split(":")
        common = {"time": 600, "id": 1000 + n, "userId": int(f[1]), "callsign": f[0], "serverId": f[14],
                  "softwareTypeId": f[38], "softwareVersion": f[39], "rating": int(f[41]), "createdAt": iso(f[37])}
        track = {"latitude": float(f[5]), "longitude": float(f[6]), "altitude": int(f[7]), "groundSpeed": int(f[8]),
                 "heading": int(f[45]) if f[3] == "PILOT" else 0, "onGround": f[46:47] == ["1"],
                 "transponder": int(f[17]) if f[3] == "PILOT" else 0, "timestamp": iso(STAMP)}
        if f[3] == "PILOT":
            aircraft = f[9].split("/")  # 1/A320/M-SDFGRWY/S
            wake, equipment = aircraft[2].split("-")
            common["lastTrack"] = track
            common["flightPlan"] = {
                "aircraftId": aircraft[1], "aircraftNumber": 1, "departureId": f[11], "arrivalId": f[13],
                "alternativeId": f[28], "route": f[30], "remarks": f[29], "speed": f[10], "level": f[12],
                "flightRules": f[21], "flightType": f[43], "eet": int(f[24]) * 3600 + int(f[25]) * 60,
                "departureTime": hhmm_seconds(f[22]), "peopleOnBoard": int(f[44]),
                "aircraftEquipments": equipment, "aircraftTransponderTypes": aircraft[3],
                "aircraft": {"icaoCode": aircraft[1], "wakeTurbulence": wake}}
            pilots.append(common)
            continue
        common["lastTrack"] = track
        common["atcSession"] = {"frequency": float(f[4]), "position": f[0].split("_")[-1]}
        if f[0].endswith("_OBS"):
            observers.append(common)
        else:
            common["atis"] = {"lines": atis_lines(f[35]), "revision": "A", "timestamp": iso(STAMP)}
            atcs.append(common)
    feed = {"updatedAt": iso(STAMP)[:-1] + ".000Z", "servers": [], "voiceServers": [],
            "clients": {"pilots": pilots, "atcs": atcs, "followMe": [], "observers": observers},
            # The demo's ATIS stations are no connections of their own.
            "connections": {"total": len(lines) - sum(l.split(":")[0].endswith("ATIS") for l in lines), "supervisor": 0, "atc": len(atcs), "observer": len(observers),
                            "pilot": len(pilots), "worldTour": 0, "followMe": 0}}
    return json.dumps(feed)


def main():
    airports = read_airports()
    sectors = read_sectors()
    for net, seed, pilots in (("ivao", 7, 420), ("vatsim", 11, 780)):
        folder = os.path.join(ROOT, "demo", net)
        os.makedirs(folder, exist_ok=True)
        lines = snapshot(net, seed, pilots, airports, sectors)
        data = whazzup_text(lines)
        if net == "ivao":
            with open(os.path.join(folder, "whazzup.json"), "w", encoding="utf-8", newline="\n") as f:
                f.write(ivao_json(lines))
        else:
            feed, transceivers = vatsim_json(lines)
            with open(os.path.join(folder, "vatsim-data.json"), "w", encoding="utf-8", newline="\n") as f:
                f.write(feed)
            with open(os.path.join(folder, "transceivers-data.json"), "w", encoding="utf-8", newline="\n") as f:
                f.write(transceivers)
        with open(os.path.join(folder, "whazzup.txt"), "wb") as f:
            f.write(data)
        with open(os.path.join(folder, "whazzup.txt.gz"), "wb") as raw:
            with gzip.GzipFile(filename="whazzup.txt", mode="wb", fileobj=raw, mtime=0) as gz:
                gz.write(data)
        print(net, len(data), "bytes")
    status = {"data": {"v3": ["file://@KESTRAVA_DEMO_DIR@/vatsim/vatsim-data.json"],
                       "transceivers": ["file://@KESTRAVA_DEMO_DIR@/vatsim/transceivers-data.json"]},
              "user": ["https://stats.vatsim.net/search_id.php"]}
    with open(os.path.join(ROOT, "demo", "status.json.in"), "w", encoding="utf-8", newline="\n") as f:
        f.write(json.dumps(status, indent=2) + "\n")


if __name__ == "__main__":
    main()
