// A mirror of the KiwiSDR public list.
// Generated every 30 minutes; all values are strings.
/* do not edit */
var kiwisdr_com =
[
{
"id": "6c1f2a3b4c5d",
"name": "<b>Hilltop Kiwi</b> &amp; beverage, Tarnwick <br> 0-30 MHz",
"url": "http://hilltop.example.net:8073",
"sdr_hw": "KiwiSDR 2 \u2063 📡 GPS \u2063",
"bands": "0-30000000",
"users": "2",
"users_max": "4",
"gps": "(52.520008, 13.404954)",
"loc": "Tarnwick, Brandenburg",
"sw_version": "KiwiSDR_v1.602",
"antenna": "Beverage 300 m \"north-east\"",
"snr": "23,26",
},
// this one says what it thinks of commas, ] and [ inside strings
{
"id": "aaaa0000bbbb",
"name": "Fjord \"Listening\" Post, ], [ and // not a comment",
"url": "https://fjord.example.no",
"bands": "0-30000000",
"users": "1",
"users_max": "8",
"gps": "(69.6492, 18.9553)",
"loc": "Fjordby",
"sw_version": "KiwiSDR_v1.601",
"antenna": "Loop on a hill",
"snr": "31,34",
},
{ "id": "broken", "name": "Broken" "url": "http://broken.example.net:8073" },
{
"id": "cccc1111dddd",
"name": "Desert Kiwi",
"url": "http://desert.example.org:8074",
"bands": "0-30000000",
"users": "0",
"users_max": "4",
"gps": "(-23.698, 133.880)",
"loc": "Red Centre",
"sw_version": "KiwiSDR_v1.599",
"antenna": "T2FD",
"snr": "28,30",
"offline": "no",
},
];
