// The signaling server of online play: two browsers (or a browser and the
// desktop bridge) find each other through it and trade the WebRTC offer,
// answer and candidates; the game's datagrams never pass through it.  A
// room holds two: the first to come hosts it and gets its name, the second
// joins by name, anyone else is told the match is full.
//
//   node web/signal.js [PORT] [--listen ADDRESS]   (default 8001 on 127.0.0.1)
'use strict';
const { WebSocketServer } = require('ws');
const crypto = require('crypto');

const maxRooms = 1000;
const relayed = new Set(['offer', 'answer', 'candidate']);

// Starts the server; resolves to { server, port }.
function start(port, address) {
  const rooms = new Map(); // name -> [host, guest]
  const server = new WebSocketServer({ port, host: address || '127.0.0.1', maxPayload: 64 * 1024 });
  server.on('connection', (ws) => {
    let room = null;
    const tell = (to, m) => { if (to && to.readyState === 1) to.send(JSON.stringify(m)); };
    ws.on('message', (data) => {
      let m;
      try { m = JSON.parse(data); } catch (e) { return; }
      if (!m || typeof m.type !== 'string') return;
      if (m.type === 'join' && room === null) {
        const wanted = typeof m.room === 'string' ? m.room.slice(0, 32) : '';
        if (wanted === '') {
          if (rooms.size >= maxRooms) return tell(ws, { type: 'full' });
          room = crypto.randomBytes(4).toString('hex');
          rooms.set(room, [ws, null]);
          tell(ws, { type: 'joined', room, role: 'host' });
        } else if (!rooms.has(wanted)) {
          tell(ws, { type: 'nosuchroom' });
        } else if (rooms.get(wanted)[1] !== null) {
          tell(ws, { type: 'full' });
          ws.close();
        } else {
          room = wanted;
          rooms.get(room)[1] = ws;
          tell(ws, { type: 'joined', room, role: 'guest' });
          tell(rooms.get(room)[0], { type: 'ready' });
        }
        return;
      }
      if (room === null || !relayed.has(m.type) || !rooms.has(room)) return;
      const [host, guest] = rooms.get(room);
      tell(ws === host ? guest : host, m);
    });
    ws.on('close', () => {
      if (room === null || !rooms.has(room)) return;
      const [host, guest] = rooms.get(room);
      tell(ws === host ? guest : host, { type: 'gone' });
      rooms.delete(room);
    });
  });
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.on('listening', () => resolve({ server, port: server.address().port }));
  });
}

module.exports = { start };

if (require.main === module) {
  const args = process.argv.slice(2);
  const at = args.indexOf('--listen');
  const address = at >= 0 ? args.splice(at, 2)[1] : '127.0.0.1';
  const port = Number(args[0] || 8001);
  start(port, address).then(({ port: p }) => console.log(`signaling on ws://${address}:${p}`));
}
