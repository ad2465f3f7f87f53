# SPDX-License-Identifier: MIT
import math
def f6(v): return '%.6E' % v
def mus_text():
    out=[]
    for k in range(1,301):
        E=0.5*k
        out.append(','.join(f6(v) for v in [E, 2000*E**-2.5+5, 30*E**-2.8+0.5, 900*E**-2.7+2, 1,2,3]))
    return '\n'.join(out)+'\n'
def water_text():
    return ''.join(','.join(f6(v) for v in [0.5*k, 0.1*(0.5*k)**-0.5, 0.2])+'\n' for k in range(1,301))
def xfs_text():
    out=''
    for r in range(1,46):
        x=0.01*1.2**(r-1)
        out+=','.join(f6(v) for v in [x, 8/(1+x*x), 10*x/(1+x)])+'\n'
    return out
def fields(t): return [float(v) for line in t.strip().split('\n') for v in line.split(',')]
mus=fields(mus_text()); water=fields(water_text()); xfs=fields(xfs_text())
MuT=[0]*301; MuAl=[0]*301; MuCu=[0]*301; WC=[0]*301; WI=[0]*301
for k in range(1,301):
    MuT[k],MuAl[k],MuCu[k]=mus[7*(k-1)+1:7*(k-1)+4]
    WC[k],WI[k]=water[3*(k-1)+1:3*(k-1)+3]
X=[0]*46;F=[0]*46;S=[0]*46
for k in range(1,46): X[k],F[k],S[k]=xfs[3*(k-1):3*k]
def primary(kv,ang,inh,al,cu):
    n=int(math.floor(2*kv)); P=[0.0]*301; U=[0.0]*301
    cot=1/math.tan(ang*3.14159/180)
    D=141766+12157*kv-111.046*math.pow(kv,2)+0.552536*math.pow(kv,3)-0.000970158*math.pow(kv,4)
    K=(math.sqrt(8.79856*kv-595.149)-4.55528)/4.39928 if kv>70 else 0
    A=0.000029*kv+0.03658
    for i in range(2,n+1):
        E=0.5*i; s=0.0; T=E
        while T<=kv:
            u=E/T
            B=1-5.049*u+10.847*math.pow(u,2)-10.516*math.pow(u,3)+3.842*math.pow(u,4)
            Sx=1036.1*math.exp(-0.04695*T)+202.41
            x=(kv*kv-T*T)/(19.3*D); p=cot*x; f=math.exp(-MuT[i]*p)
            s=s+f*((A*B*(511/T+1))/Sx); T=T+0.5
        U[i]=s
    if kv>70:
        tot=0.0
        for i in range(2,n+1): tot=tot+U[i]
        L=0.01*(K*tot)
        U[119]+=0.5048*L; U[116]+=0.2908*L; U[134]+=0.162*L; U[138]+=0.0424*L
    ti=0.1*inh; ta=0.1*al; tc=0.1*cu
    for i in range(2,n+1):
        P[i]=U[i]*math.exp(-(ti+ta)*MuAl[i])*math.exp(-tc*MuCu[i])/(0.5*i)
    M=0.0
    for i in range(2,n+1):
        if P[i]>M: M=P[i]
    for i in range(2,n+1):
        P[i]=P[i]/M
        if P[i]<=1e-100: P[i]=0.0
    return P,U,D,K
def interp(x,col):
    j=2
    while x>=X[j]: j+=1
    lo,hi=j-1,j
    ls=math.log(col[lo])+(math.log(x)-math.log(X[lo]))*(math.log(col[hi])-math.log(col[lo]))/(math.log(X[hi])-math.log(X[lo]))
    return math.exp(ls)
def scatter(P,angle):
    th=angle/180*3.14159
    E1=[0.0]*301;E2=[0.0]*301;C=[0.0]*301
    for i in range(16,301):
        if P[i]==0: continue
        E=0.5*i; lam=12.4/E; x=math.sin(0.5*th)/lam
        s=interp(x,S); omc=1-math.cos(th); Ep=E/(1+(E/511)*omc)
        E1[i]=Ep; r=Ep/E; st=math.sin(th)
        E2[i]=E2[i]+P[i]*WI[i]*(r*r)*(E/Ep+Ep/E-st*st)*s
    for k in range(1,300):
        if E1[k]!=0 and E1[k+1]!=0: E2[k]=E2[k]/((E1[k+1]-E1[k])/0.5)
    for i in range(16,301):
        if P[i]==0: continue
        E=0.5*i; lam=12.4/E; x=math.sin(0.5*th)/lam
        f=interp(x,F); c=math.cos(th); A=1+c*c
        C[i]=C[i]+P[i]*WC[i]*A*(f*f)
    M=0.0
    for i in range(2,301):
        if E2[i]>M: M=E2[i]
    for i in range(2,301):
        if C[i]>M: M=C[i]
    for i in range(2,301):
        E2[i]=E2[i]/M
        if E2[i]<=1e-100: E2[i]=0.0
    for i in range(2,301):
        C[i]=C[i]/M
        if C[i]<=1e-100: C[i]=0.0
    return E1,E2,C,M
def fmt(v,d):
    if v==0: v=0.0
    s='%.*E'%(d,v)
    return s
import hashlib
P,U,D,K=primary(100,12,2.5,0,0)
lines=[' keV   Fluence']+[fmt(0.5*i,3)+'  '+fmt(P[i],3) for i in range(1,301)]
pfile=('\r\n'.join(lines)+'\r\n').encode()
E1,E2,C,M=scatter(P,90)
inc=('\r\n'.join([' keV     Fluence']+[fmt(E1[i],3)+'  '+fmt(E2[i],4) for i in range(1,301)])+'\r\n').encode()
coh=('\r\n'.join([' keV     Fluence']+[fmt(0.5*i,3)+'  '+fmt(C[i],4) for i in range(1,301)])+'\r\n').encode()
open('/tmp/ref_P.dat','wb').write(pfile); open('/tmp/ref_Inc.dat','wb').write(inc); open('/tmp/ref_Coh.dat','wb').write(coh)
print(len(pfile),len(inc),len(coh))
for i in [2,60,116,119,134,138,200]: print('P',i,repr(P[i]))
for i in [16,100,199,200]: print('Inc',i,repr(E1[i]),repr(E2[i]),'Coh',repr(C[i]))
print('M',repr(M))
print('U200',repr(U[200]))
import sys
for kv in (40,100,150): 
    P_,U_,D_,K_=primary(kv,12,2.5,0,0); print(kv,repr(D_),repr(K_))
P_,U_,_,_=primary(40,12,2.5,0,0); print('U80 at 40kV',repr(U_[80]),'U79',repr(U_[79]))
P_,U_,_,_=primary(80.3,12,2.5,0,0); print('U160 at 80.3kV',repr(U_[160]))
print(hashlib.sha256(pfile).hexdigest())
